// Tells whether the X server currently shows a visible mouse cursor: exit status 0 when the
// cursor image has any pixel that is not fully transparent, 1 when it is blank (hidden), 2
// when the display or the XFIXES extension is not available. Used by the real-window test.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "cursor-state: no display\n");
    return 2;
  }
  int eventBase = 0, errorBase = 0;
  if (!XFixesQueryExtension(display, &eventBase, &errorBase)) {
    std::fprintf(stderr, "cursor-state: no XFIXES\n");
    XCloseDisplay(display);
    return 2;
  }
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (!image) {
    XCloseDisplay(display);
    return 2;
  }
  bool visible = false;
  const unsigned long count = static_cast<unsigned long>(image->width) * image->height;
  for (unsigned long i = 0; i < count; ++i)
    if ((image->pixels[i] >> 24) & 0xFF) visible = true;
  std::printf("%s %dx%d\n", visible ? "visible" : "hidden", image->width, image->height);
  XFree(image);
  XCloseDisplay(display);
  return visible ? 0 : 1;
}
