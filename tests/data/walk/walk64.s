# RV64 program for the decode walk tests. The walk does not execute, so the
# instructions only have to have the right encodings at fixed addresses
# (walk64.ld puts .text at 0x10000); the comments give them.
	.option	norelax
	.text
	.globl	_start
_start:
	.option	norvc
	addi	a0, zero, 2		# 10000
loop:
	addi	a0, a0, -1		# 10004
	bne	a0, zero, loop		# 10008  B-type, -4
	jal	zero, fwd		# 1000c  J-type, +8
	nop				# 10010
fwd:
	.option	rvc
	c.li	a1, 1			# 10014
	c.bnez	a1, cfwd		# 10016  CB-type, +6
	c.nop				# 10018
	c.nop				# 1001a
cfwd:
	c.j	cjump			# 1001c  CJ-type, +6
	c.nop				# 1001e
	c.nop				# 10020
cjump:
	c.beqz	a1, cfwd		# 10022  CB-type, -6
	.option	norvc
	beq	a0, zero, fwd		# 10024  B-type, -0x10
	jalr	zero, 0(ra)		# 10028  indirect jump
	.4byte	0x0000000b		# 1002c  custom-0: no instruction
	.2byte	0x001f, 0, 0		# 10030  a 48-bit encoding
	.2byte	0x003f, 0, 0, 0		# 10036  a 64-bit encoding
	jal	zero, far		# 1003e  J-type, +0x1c2
	.option	rvc
	c.nop				# 10042  the end of .text is 10044

	# walk64.ld puts .far at 0x10200; nothing is loaded in between.
	.section .far, "ax", @progbits
far:
	c.nop				# 10200
	c.nop				# 10202  the last half-word of .far
