ENTRY(_start)
PHDRS { code PT_LOAD FLAGS(5); }
SECTIONS
{
	.inner 0x80000010 : { *(.inner) } :code
	.same_end 0x80000030 : { *(.same_end) } :code
}
