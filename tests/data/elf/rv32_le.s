# RV32 program: one loadable segment, code only.
	.option norvc
	.text
	.globl	_start
_start:
	li	a0, 5
loop:
	addi	a0, a0, -1
	bnez	a0, loop
	.globl	lynx_gdb_exit
lynx_gdb_exit:
	j	lynx_gdb_exit
