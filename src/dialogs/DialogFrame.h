#pragma once

class QWidget;

namespace kurvaro {

/// Places a top-level window so that its frame is centred on its screen. The
/// dialogs call it every time they are shown.
void centerOnScreen(QWidget& window);

} // namespace kurvaro
