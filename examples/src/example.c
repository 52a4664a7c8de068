/* A small freestanding RISC-V program: sorts a table, sums it with a few
 * branches and calls, then reaches lynx_gdb_exit and exits through the
 * Linux exit system call. Built without the C library so that the whole
 * executed program lies in this one ELF file. */

static unsigned table[24] = {17, 3, 99, 42, 8, 23, 4, 16, 15, 61, 7, 0,
                             88, 31, 5, 12, 77, 2, 54, 9, 28, 70, 11, 1};

static void sort(unsigned *a, int n) {
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

static unsigned __attribute__((noinline)) mix(unsigned h, unsigned v) {
  return (h ^ v) * 16777619u;
}

static unsigned __attribute__((noinline)) checksum(const unsigned *a, int n,
                                                   unsigned (*f)(unsigned, unsigned)) {
  unsigned h = 2166136261u;
  for (int i = 0; i < n; i++) h = (a[i] & 1) ? f(h, a[i]) : h + a[i];
  return h;
}

/* The trace checker stops comparing when the reference trace reaches this
 * label. */
void __attribute__((noinline)) lynx_gdb_exit(void) { __asm__ volatile(""); }

static void __attribute__((noreturn)) sys_exit(long code) {
  register long a0 __asm__("a0") = code;
  register long a7 __asm__("a7") = 93; /* exit */
  __asm__ volatile("ecall" : : "r"(a0), "r"(a7));
  __builtin_unreachable();
}

void __attribute__((noreturn)) _start(void) {
  sort(table, 24);
  unsigned h = checksum(table, 24, mix);
  lynx_gdb_exit();
  sys_exit(h & 0x7f);
}
