// Marks that this library is linked in; does nothing.
extern "C" void libvedova_is_present() {}
