# RV32 program for the decode walk tests (walk32.ld puts .text at 0x20000):
# c.jal exists only on RV32.
	.option	norelax
	.text
	.globl	_start
_start:
	.option	rvc
	c.li	a0, 3			# 20000
	c.jal	sub			# 20002  CJ-type, +4
	c.nop				# 20004
sub:
	.option	norvc
	addi	a0, a0, -1		# 20006
	blt	zero, a0, sub		# 2000a  B-type, -4
	jalr	zero, 0(ra)		# 2000e  indirect jump
