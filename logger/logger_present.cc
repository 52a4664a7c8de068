// Marks that this library is linked in; does nothing.
extern "C" void liblogger_is_present() {}
extern "C" void lynx_logger_is_present() {}
