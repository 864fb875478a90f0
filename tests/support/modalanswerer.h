#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Answers the modal dialogs a test provokes, one queued answer per dialog,
// in order, so that no test waits on a person. Each dialog's title and text
// (for message boxes) are recorded; a dialog without a queued answer is
// closed and recorded too.
class ModalAnswerer : public QObject
{
    Q_OBJECT

public:
    using Answer = std::function<void(QWidget *dialog)>;

    ModalAnswerer();

    void enqueue(const Answer &answer);
    // Message boxes: click the standard button given.
    void clickButton(int standardButton);
    // File dialogs: choose `path`, or cancel when it is empty.
    void chooseFile(const QString &path);

    int pending() const { return int(m_answers.size()); }
    // "title|text" of every dialog answered.
    QStringList seen() const { return m_seen; }

private:
    void poll();

    QList<Answer> m_answers;
    QStringList m_seen;
    QPointer<QWidget> m_last;
    QTimer m_timer;
};
