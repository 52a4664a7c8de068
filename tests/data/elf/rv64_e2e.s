# RV64 program for the end-to-end runs of both programs: a counted loop, a
# call with compressed instructions and an indirect return, a lui/addi pair
# that a core may fuse, a word store to the MSI address, an environment call
# and the exit label.
	.option norvc
	.text
	.globl	_start
_start:
	li	a0, 3
loop:
	addi	a0, a0, -1
	bnez	a0, loop
	jal	ra, func
	lui	a1, 0x10040
	addi	a1, a1, 0
	sw	a0, 0(a1)
	ecall
	.globl	lynx_gdb_exit
lynx_gdb_exit:
	j	lynx_gdb_exit
func:
	.option rvc
	c.nop
	c.li	a2, 1
	.option norvc
	ret
