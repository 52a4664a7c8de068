# Big-endian RV64 program: instructions stay little-endian, data is big-endian.
	.option norvc
	.text
	.globl	_start
_start:
	addi	a0, zero, 1
	c_exit: j	c_exit
	.4byte	0x11223344
	.globl	lynx_gdb_exit
lynx_gdb_exit:
	j	lynx_gdb_exit
