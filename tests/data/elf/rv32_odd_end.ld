ENTRY(_start)
PHDRS { code PT_LOAD FLAGS(5); }
SECTIONS
{
	.text 0x2000 : { *(.text) } :code
	.tail : { *(.tail) } :code
}
