#include "DialogsTestSupport.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>

namespace kurvaro {

std::vector<IniEntry> parseIni(const QByteArray& bytes)
{
    std::vector<IniEntry> entries;
    QString section;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('[') && line.endsWith(']')) {
            section = QString::fromLatin1(line.mid(1, line.size() - 2));
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            entries.push_back({section, QString::fromLatin1(line.left(eq)),
                               QString::fromLatin1(line.mid(eq + 1))});
    }
    return entries;
}

std::vector<IniEntry> withoutSections(const std::vector<IniEntry>& entries,
                                      const QStringList& sections)
{
    std::vector<IniEntry> kept;
    for (const IniEntry& e : entries)
        if (!sections.contains(e.section))
            kept.push_back(e);
    return kept;
}

std::vector<IniEntry> onlySections(const std::vector<IniEntry>& entries,
                                   const QStringList& sections)
{
    std::vector<IniEntry> kept;
    for (const IniEntry& e : entries)
        if (sections.contains(e.section))
            kept.push_back(e);
    return kept;
}

bool showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

QStringList tabSequence(QWidget& start, int count)
{
    start.setFocus(Qt::TabFocusReason);
    QStringList names;
    names << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
    for (int i = 0; i < count; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (focus == nullptr)
            break;
        QTest::keyClick(focus, Qt::Key_Tab);
        names << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                              : QString());
    }
    return names;
}

void clickCenter(QWidget& widget)
{
    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, widget.rect().center());
}

void PrintTo(const IniEntry& entry, std::ostream* os)
{
    *os << "[" << entry.section.toStdString() << "] " << entry.key.toStdString() << "="
        << entry.value.toStdString();
}

} // namespace kurvaro
