ENTRY(_start)
PHDRS { code PT_LOAD FLAGS(5); }
SECTIONS
{
	.text 0x10000 : { *(.text) } :code
	.far 0x10200 : { *(.far) } :code
}
