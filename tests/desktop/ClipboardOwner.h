#pragma once

// A text on the X clipboard of a virtual desktop, as another program that
// copied it would hold it: the owner of the CLIPBOARD selection, answering
// every request for it from a thread of its own until it goes.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>

namespace kurvaro {

class VirtualDesktop;

class ClipboardOwner
{
public:
    /// Takes the clipboard of `desktop` with `text` (UTF-8).
    ClipboardOwner(const VirtualDesktop& desktop, QByteArray text);
    ~ClipboardOwner();
    ClipboardOwner(const ClipboardOwner&) = delete;
    ClipboardOwner& operator=(const ClipboardOwner&) = delete;

    /// Empty when the clipboard is ours, else why not.
    const QString& failure() const { return Failure; }
    /// How often a program has been handed the text itself.
    int handedOut() const { return HandedOut; }

private:
    struct X;
    void serve();

    QByteArray text;
    QString Failure;
    std::unique_ptr<X> x;
    std::atomic<bool> stopping{false};
    std::atomic<int> HandedOut{0};
    std::thread server;
};

} // namespace kurvaro
