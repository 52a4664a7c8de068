# RV32 program whose code section ends two bytes into a 4-byte word: its last
# instruction is a 16-bit one, and the section right behind it is filled
# with ones.
	.text
	.globl	_start
_start:
	.option norvc
	addi	a0, zero, 1
	.option rvc
	c.li	a1, 2
	c.nop
	c.li	a2, 3

	.section .tail, "ax", @progbits
	.4byte	0xffffffff
