ENTRY(_start)
PHDRS
{
	code PT_LOAD FLAGS(5);
	data PT_LOAD FLAGS(6);
}
SECTIONS
{
	.text 0x80000000 : { *(.text) } :code
	.data 0x80001000 : { *(.data) } :data
	.bss : { *(.bss) } :data
}
