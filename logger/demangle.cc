#include "lynx_logger.h"

#include <cxxabi.h>

#include <cstdlib>

std::string demangleBacktraceSymbol(char* line) {
  char* open = nullptr;
  char* plus = nullptr;
  char* close = nullptr;
  for (char* p = line; *p != '\0'; ++p) {
    if (*p == '(') {
      open = p;
    } else if (*p == '+') {
      plus = p;
    } else if (*p == ')') {
      close = p;
      break;
    }
  }
  if (close == nullptr || open == nullptr || plus == nullptr || plus < open) return line;

  *open = '\0';
  *plus = '\0';
  *close = '\0';
  const char* symbol = open + 1;
  int status = 0;
  char* demangled = abi::__cxa_demangle(symbol, nullptr, nullptr, &status);
  std::string result = (status == 0 && demangled != nullptr) ? demangled : symbol;
  std::free(demangled);
  result += " +";
  result += plus + 1;
  result += close + 1;
  return result;
}
