// The chart window's toolbar pictures (the image list "IL"), drawn as vector
// shapes so they are sharp at every size.
#pragma once

#include <QIcon>
#include <QString>

namespace qv {

// The picture of the toolbar button with key "New", "Save", "Print" or
// "Help"; a null icon for any other key.
QIcon ToolbarIcon(const QString& key);

}  // namespace qv
