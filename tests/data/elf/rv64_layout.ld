ENTRY(_start)
PHDRS
{
	first PT_LOAD FLAGS(5);
	second PT_LOAD FLAGS(5);
	zeros PT_LOAD FLAGS(6);
}
SECTIONS
{
	.text 0x80000000 : { *(.text) } :first
	.shared 0x80000100 : { *(.shared) } :first :second
	.orphan 0x90000000 : { *(.orphan) } :NONE
	.bss 0x80002000 : { *(.bss) } :zeros
}
