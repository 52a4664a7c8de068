/* Floor programs of the benchmark: the least work a tool can do for the same
 * job, to set its time against. Nothing is decoded: the executed PCs come
 * ready-made from a file that bench/run prepares beforehand, each PC as the
 * zigzag varint of its distance from the one before (one byte for almost
 * every instruction, so that reading the PCs costs the floor next to
 * nothing: a tool finds them in its much smaller Nexus trace).
 *
 *   floor decode[-whole] OUT PCS INPUT...
 *       reads PCS whole and every INPUT through one 1 MiB buffer (-whole:
 *       whole into memory), writes the PC text to OUT (upper-case hex, no
 *       leading zeros, one PC a line: tracedecode's bytes)
 *   floor check[-whole] OUT PCS INPUT...
 *       the same, then reads OUT back in 1 MiB blocks, parses the PCs and
 *       compares them with the ones it holds
 *   floor pcs LOG PCS
 *       (preparation, not timed) turns a qemu exec log into the PC file
 *
 * A checksum of everything read goes to standard output, so no step can be
 * optimised away; a mismatch in the check ends with status 1. */

#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#define BLOCK (1u << 20)

static void die(const char *what, const char *path) {
  fprintf(stderr, "floor: %s %s\n", what, path);
  exit(2);
}

/* Reads a whole file into memory with read(2). */
static unsigned char *read_whole(const char *path, size_t *size) {
  int fd = open(path, O_RDONLY);
  if (fd < 0) die("cannot open", path);
  struct stat st;
  if (fstat(fd, &st) != 0) die("cannot stat", path);
  size_t n = (size_t)st.st_size;
  unsigned char *data = malloc(n ? n : 1);
  if (!data) die("out of memory for", path);
  size_t got = 0;
  while (got < n) {
    ssize_t r = read(fd, data + got, n - got);
    if (r <= 0) die("cannot read", path);
    got += (size_t)r;
  }
  close(fd);
  *size = n;
  return data;
}

/* One word of every 4 KiB page: enough to make the reads count without
 * adding work a tool would not do. */
static uint64_t checksum(const unsigned char *data, size_t n) {
  uint64_t sum = n;
  for (size_t i = 0; i + 8 <= n; i += 4096) {
    uint64_t w;
    memcpy(&w, data + i, 8);
    sum = (sum ^ w) * 0x100000001b3ull;
  }
  return sum;
}

/* Reads a whole file through a 1 MiB buffer: the least a tool that takes
 * every byte of it can do. (Holding a large reference whole in fresh memory
 * costs page faults that the tools' own streaming reads do not pay.) */
static uint64_t read_through(const char *path) {
  static unsigned char buf[BLOCK];
  int fd = open(path, O_RDONLY);
  if (fd < 0) die("cannot open", path);
  uint64_t sum = 0;
  for (;;) {
    ssize_t r = read(fd, buf, BLOCK);
    if (r < 0) die("cannot read", path);
    if (r == 0) break;
    sum ^= checksum(buf, (size_t)r);
  }
  close(fd);
  return sum;
}

static void write_all(int fd, const char *buf, size_t n, const char *path) {
  while (n > 0) {
    ssize_t w = write(fd, buf, n);
    if (w <= 0) die("cannot write", path);
    buf += w;
    n -= (size_t)w;
  }
}

/* The PCs of the prepared file, one after the other. */
struct pc_reader {
  const unsigned char *at, *end;
  uint64_t pc;
};

static int next_pc(struct pc_reader *r) {
  uint64_t v = 0;
  int shift = 0;
  for (;;) {
    if (r->at == r->end) return 0;
    const unsigned char b = *r->at++;
    v |= (uint64_t)(b & 0x7f) << shift;
    if (b < 0x80) break;
    shift += 7;
  }
  r->pc += (v >> 1) ^ (0 - (v & 1));
  return 1;
}

/* Writes the PCs as text, one a line, through a 1 MiB buffer. */
static void write_pcs(const char *path, struct pc_reader r) {
  static const char hex[] = "0123456789ABCDEF";
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) die("cannot create", path);
  char *buf = malloc(BLOCK);
  if (!buf) die("out of memory for", path);
  size_t used = 0;
  while (next_pc(&r)) {
    if (used > BLOCK - 32) {
      write_all(fd, buf, used, path);
      used = 0;
    }
    const uint64_t pc = r.pc;
    int digits = 1;
    while (digits < 16 && (pc >> (4 * digits)) != 0) ++digits;
    for (int d = digits - 1; d >= 0; --d) buf[used++] = hex[(pc >> (4 * d)) & 15];
    buf[used++] = '\n';
  }
  write_all(fd, buf, used, path);
  if (close(fd) != 0) die("cannot close", path);
  free(buf);
}

/* Reads the PC text back in 1 MiB blocks and compares it with the PCs held.
 * Returns the number of mismatches (a missing or extra line counts too). */
static size_t check_pcs(const char *path, struct pc_reader r) {
  int fd = open(path, O_RDONLY);
  if (fd < 0) die("cannot open", path);
  char *buf = malloc(BLOCK);
  if (!buf) die("out of memory for", path);
  size_t mismatches = 0;
  uint64_t value = 0;
  int in_line = 0;
  for (;;) {
    ssize_t n = read(fd, buf, BLOCK);
    if (n < 0) die("cannot read", path);
    if (n == 0) break;
    for (ssize_t i = 0; i < n; ++i) {
      unsigned char c = (unsigned char)buf[i];
      if (c == '\n') {
        if (!next_pc(&r) || r.pc != value) ++mismatches;
        value = 0;
        in_line = 0;
      } else {
        unsigned digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        value = value << 4 | (digit & 15);
        in_line = 1;
      }
    }
  }
  close(fd);
  free(buf);
  if (in_line) ++mismatches;
  while (next_pc(&r)) ++mismatches;
  return mismatches;
}

/* Preparation: the PC of each "Trace N: 0x... [tb/pc/flags/...]" line. */
static int make_pc_file(const char *log_path, const char *out_path) {
  FILE *in = strcmp(log_path, "-") == 0 ? stdin : fopen(log_path, "r");
  if (!in) die("cannot open", log_path);
  FILE *out = fopen(out_path, "wb");
  if (!out) die("cannot create", out_path);
  char line[4096];
  size_t count = 0;
  uint64_t last = 0;
  while (fgets(line, sizeof line, in)) {
    if (strncmp(line, "Trace ", 6) != 0) continue;
    const char *slash = strchr(line, '/');
    if (!slash) continue;
    char *end;
    uint64_t pc = strtoull(slash + 1, &end, 16);
    if (end == slash + 1) continue;
    const uint64_t delta = pc - last;
    last = pc;
    uint64_t v = (delta << 1) ^ (0 - (delta >> 63));
    do {
      if (fputc((int)((v & 0x7f) | (v > 0x7f ? 0x80 : 0)), out) == EOF) die("cannot write", out_path);
      v >>= 7;
    } while (v);
    ++count;
  }
  if (fclose(out) != 0) die("cannot write", out_path);
  fprintf(stderr, "%zu PCs\n", count);
  return count > 0 ? 0 : 1;
}

int main(int argc, char **argv) {
  if (argc == 4 && strcmp(argv[1], "pcs") == 0) return make_pc_file(argv[2], argv[3]);
  const char *mode = argc >= 4 ? argv[1] : "";
  const int check = strcmp(mode, "check") == 0 || strcmp(mode, "check-whole") == 0;
  const int whole = strcmp(mode, "decode-whole") == 0 || strcmp(mode, "check-whole") == 0;
  if (!check && !whole && strcmp(mode, "decode") != 0) {
    fprintf(stderr, "usage: floor decode|check[-whole] OUT PCS INPUT... | floor pcs LOG PCS\n");
    return 2;
  }
  size_t pc_bytes;
  unsigned char *pc_data = read_whole(argv[3], &pc_bytes);
  uint64_t sum = checksum(pc_data, pc_bytes);
  for (int i = 4; i < argc; ++i) {
    if (!whole) {
      sum ^= read_through(argv[i]);
    } else {
      size_t n;
      unsigned char *data = read_whole(argv[i], &n);
      sum ^= checksum(data, n);
      free(data);
    }
  }
  const struct pc_reader pcs = {pc_data, pc_data + pc_bytes, 0};
  write_pcs(argv[2], pcs);
  size_t mismatches = check ? check_pcs(argv[2], pcs) : 0;
  printf("checksum %016llx\n", (unsigned long long)sum);
  if (mismatches) fprintf(stderr, "floor: %zu PCs differ\n", mismatches);
  return mismatches ? 1 : 0;
}
