// Message boxes show their icon (information, error, question, warning).
// GTK asks the icon theme for the full-colour "dialog-*" icons, which newer
// themes (Adwaita 43 in Debian 12) no longer carry: the box then keeps an
// empty space where the icon should be. Those names are filled in from the
// theme's symbolic icons.
#pragma once

// Once the toolkit is up; safe to call again.
void ProvideMessageBoxIcons();

// Whether the icon theme has an icon for every kind of message box.
bool MessageBoxIconsAvailable();
