ENTRY(_start)
SECTIONS
{
	.text 0x80000000 : { *(.text) }
}
