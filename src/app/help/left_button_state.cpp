#include "app/help/left_button_state.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>

namespace tarvex {

bool LeftMouseButtonDown() {
  // Other platforms (offscreen among them) may answer the X11 interface without a connection.
  auto* x11 = QGuiApplication::platformName() == QLatin1String("xcb")
                  ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                  : nullptr;
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection != nullptr) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen != nullptr) {
      xcb_query_pointer_reply_t* reply =
          xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr);
      if (reply != nullptr) {
        const bool down = (reply->mask & XCB_BUTTON_MASK_1) != 0;
        std::free(reply);
        return down;
      }
    }
  }
  return (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0;
}

}  // namespace tarvex
