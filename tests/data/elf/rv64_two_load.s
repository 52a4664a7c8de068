# RV64 program with a code and a data segment and the exit label.
	.option norvc
	.text
	.globl	_start
_start:
	lla	a0, value
	ld	a1, 0(a0)
	addi	a1, a1, 1
	sd	a1, 0(a0)
	c_loop: beq	a1, zero, c_loop
	.option rvc
	c.nop
	c.nop
	.option norvc
	.globl	lynx_gdb_exit
	.type	lynx_gdb_exit, @function
lynx_gdb_exit:
	j	lynx_gdb_exit
	.size	lynx_gdb_exit, . - lynx_gdb_exit
	.org	0x40

	.data
	.globl	value
	.type	value, @object
value:
	.8byte	0x1122334455667788
	.size	value, 8

	.bss
scratch:
	.space	16

	.section .debug_note, "", @progbits
	.ascii	"not loaded"
