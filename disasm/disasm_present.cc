// Marks that this library is linked in; does nothing.
extern "C" void libdisasm_is_present() {}
