#include "widgets/kq_edit_family.h"

#include <QLineEdit>
#include <QPointer>
#include <algorithm>
#include <cstring>

namespace {

// The list lives as long as the program; a box leaves it when it is destroyed.
std::vector<QLineEdit*>& Members()
{
    static std::vector<QLineEdit*> members;
    return members;
}

QPointer<QWidget>& Target()
{
    static QPointer<QWidget> target;
    return target;
}

}  // namespace

namespace KqEditFamily {

void Add(QLineEdit* box)
{
    Members().push_back(box);
}

void Remove(QLineEdit* box)
{
    auto& members = Members();
    members.erase(std::remove(members.begin(), members.end(), box), members.end());
}

std::vector<QLineEdit*> MembersOf(const QWidget* window)
{
    std::vector<QLineEdit*> result;
    for (QLineEdit* box : Members())
        if (box->window() == window) result.push_back(box);
    return result;
}

QLineEdit* FirstOf(const QWidget* window)
{
    for (QLineEdit* box : Members())
        if (box->window() == window) return box;
    return nullptr;
}

QLineEdit* LastOf(const QWidget* window)
{
    const auto& members = Members();
    for (auto it = members.rbegin(); it != members.rend(); ++it)
        if ((*it)->window() == window) return *it;
    return nullptr;
}

void SetPageTarget(QWidget* target)
{
    Target() = target;
}

QWidget* PageTarget()
{
    return Target().data();
}

QString EmptyTextOf(const QObject* box)
{
    struct Kind {
        const char* className;
        const char* emptyText;
    };
    static constexpr Kind kinds[] = {
        {"KqEditData", "__/__/____"},
        {"KqEditCPF", "___.___.___-__"},
        {"KqEditCNPJ", "__.___.___/___-___"},
        {"KqEditNumero", "0,00"},
    };
    const char* name = box->metaObject()->className();
    for (const Kind& kind : kinds)
        if (std::strcmp(kind.className, name) == 0) return QString::fromLatin1(kind.emptyText);
    return QString();
}

void ClearWindow(QWidget* window)
{
    // Setting a text leaves the caret after it, where a masked box takes nothing: back to the first position, so
    // that the digits typed next fill the box.
    for (QLineEdit* box : MembersOf(window)) {
        box->setText(EmptyTextOf(box));
        box->setCursorPosition(0);
    }
    if (QLineEdit* first = FirstOf(window)) {
        first->setEnabled(true);
        first->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace KqEditFamily
