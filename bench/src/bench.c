/* Benchmark workload: sorts and hashes a table over and over, so that the
 * run has the usual mix of taken and not-taken branches, calls through a
 * function pointer, returns and compressed instructions. ROUNDS sets the
 * length of the run (about 13,000 instructions per round). */

#ifndef ROUNDS
#define ROUNDS 800
#endif

static unsigned table[48];

static unsigned __attribute__((noinline)) mix(unsigned h, unsigned v) {
  return (h ^ v) * 16777619u;
}

static void __attribute__((noinline)) fill(unsigned seed) {
  for (int i = 0; i < 48; i++) {
    seed = seed * 1103515245u + 12345u;
    table[i] = seed >> 16;
  }
}

static void __attribute__((noinline)) sort(unsigned *a, int n) {
  for (int i = 1; i < n; i++) {
    unsigned v = a[i];
    int j = i - 1;
    while (j >= 0 && a[j] > v) {
      a[j + 1] = a[j];
      j--;
    }
    a[j + 1] = v;
  }
}

static unsigned __attribute__((noinline)) checksum(const unsigned *a, int n,
                                                   unsigned (*f)(unsigned, unsigned)) {
  unsigned h = 2166136261u;
  for (int i = 0; i < n; i++) h = (a[i] & 1) ? f(h, a[i]) : h + a[i];
  return h;
}

void __attribute__((noinline)) lynx_gdb_exit(void) { __asm__ volatile(""); }

static void __attribute__((noreturn)) sys_exit(long code) {
  register long a0 __asm__("a0") = code;
  register long a7 __asm__("a7") = 93;
  __asm__ volatile("ecall" : : "r"(a0), "r"(a7));
  __builtin_unreachable();
}

void __attribute__((noreturn)) _start(void) {
  unsigned h = 0;
  for (unsigned r = 0; r < ROUNDS; r++) {
    fill(r + h);
    sort(table, 48);
    h ^= checksum(table, 48, mix);
  }
  lynx_gdb_exit();
  sys_exit(h & 0x7f);
}
