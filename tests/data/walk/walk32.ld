ENTRY(_start)
PHDRS { code PT_LOAD FLAGS(5); }
SECTIONS
{
	.text 0x20000 : { *(.text) } :code
}
