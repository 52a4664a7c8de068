/* Small freestanding RISC-V Linux program whose executed PCs, logged by
   qemu-riscv64, serve as the reference for the decode walk's end-to-end test:
   calls and returns (indirect jumps), loops with B-type and compressed
   branches, compressed and plain jumps, and an exit system call. */
volatile long result;
int data[12] = {9, 4, 11, 2, 7, 0, 5, 3, 10, 1, 8, 6};
static long fib(long n) { return n < 2 ? n : fib(n - 1) + fib(n - 2); }
static void sort(int *a, int n) {
  for (int i = 1; i < n; ++i) {
    int v = a[i], j = i - 1;
    while (j >= 0 && a[j] > v) { a[j + 1] = a[j]; --j; }
    a[j + 1] = v;
  }
}
static int count_odd(const int *a, int n) {
  int c = 0;
  while (n != 0) {
    if ((*a & 1) != 0) c++;
    a++;
    n--;
  }
  return c;
}
void _start(void) {
  sort(data, 12);
  long r = fib(9) + data[0] + count_odd(data, 12);
  result = r;
  register long a0 asm("a0") = 0;
  register long a7 asm("a7") = 93;
  asm volatile("ecall" : : "r"(a0), "r"(a7));
  for (;;) {}
}
