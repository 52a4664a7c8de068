# RV64 program with sections that must not all become fetchable: one listed
# by two loadable segments, an allocated one outside every segment, a
# zero-filled one and a non-allocated one.
	.option norvc
	.text
	.globl	_start
_start:
	nop
	j	_start

	.section .shared, "ax", @progbits
	.4byte	0x00100073

	.section .orphan, "a", @progbits
	.4byte	0xdeadbeef

	.bss
	.space	32

	.section .comment_note, "", @progbits
	.ascii	"debug"
