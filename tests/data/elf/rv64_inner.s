# RV64 program loaded on top of rv64_two_load: .inner lies inside that
# program's code section and ends before it; .same_end ends where it ends.
	.option norvc
	.section .inner, "ax", @progbits
	.globl	_start
_start:
	.4byte	0xaaaaaaaa
	.4byte	0xbbbbbbbb
	.4byte	0xcccccccc
	.4byte	0xdddddddd

	.section .same_end, "ax", @progbits
	.4byte	0x01010101
	.4byte	0x02020202
	.4byte	0x03030303
	.4byte	0x04040404
