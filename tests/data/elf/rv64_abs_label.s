# RV64 program whose exit label is an absolute symbol outside every loaded
# section: it has a value but no load address.
	.option norvc
	.text
	.globl	_start
_start:
	j	_start
	.globl	lynx_gdb_exit
	.set	lynx_gdb_exit, 0x12345678
