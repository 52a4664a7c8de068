// Marks that this library is linked in; does nothing.
extern "C" void libxcfg_is_present() {}
