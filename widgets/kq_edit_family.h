#pragma once

#include <QString>
#include <vector>

class QLineEdit;
class QObject;
class QWidget;

// The KqEdit family of edit boxes: every member adds itself to one list shared by the whole program, in
// creation order, so that keyboard commands can act on all family boxes of one window. A box's window is
// the top-level widget that holds it at the time of asking.
namespace KqEditFamily {

void Add(QLineEdit* box);
void Remove(QLineEdit* box);

// The family boxes held by window, in creation order.
std::vector<QLineEdit*> MembersOf(const QWidget* window);
// The first and the last of them; nullptr when the window holds none.
QLineEdit* FirstOf(const QWidget* window);
QLineEdit* LastOf(const QWidget* window);

// Where Page Up and Page Down send the focus; nothing in this program registers one by default.
void SetPageTarget(QWidget* target);
QWidget* PageTarget();

// What Escape leaves in a family box, chosen by the box's class name.
QString EmptyTextOf(const QObject* box);

// Escape: every family box of window gets its kind's empty text, then the first one is enabled and
// takes the focus.
void ClearWindow(QWidget* window);

}  // namespace KqEditFamily
