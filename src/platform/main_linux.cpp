// The process entry point on Linux: the program starts at WinMain, as on Windows.
#include "platform/win32.h"

int main() {
  char commandLine[] = "";
  return WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL);
}
