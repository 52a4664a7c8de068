# RV64 program whose two loadable segments are loaded at addresses that
# differ from their run addresses by different offsets; the exit label lies
# in the second segment.
	.option norvc
	.text
	.globl	_start
_start:
	call	finish
	j	_start

	.section .text.late, "ax", @progbits
	.globl	finish
finish:
	nop
	.globl	lynx_gdb_exit
lynx_gdb_exit:
	j	lynx_gdb_exit
