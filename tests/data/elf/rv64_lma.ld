ENTRY(_start)
PHDRS
{
	boot PT_LOAD FLAGS(5);
	late PT_LOAD FLAGS(5);
}
SECTIONS
{
	.text 0x80000000 : AT(0x20000000) { *(.text) } :boot
	.text.late 0x80010000 : AT(0x20100000) { *(.text.late) } :late
}
