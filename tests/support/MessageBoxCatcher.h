// Watches for message boxes while it lives: records what each one shows and closes it
// with its OK button as soon as its modal loop runs, so a test never waits on one.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

namespace velmora::fixtures {

class MessageBoxCatcher : public QObject {
public:
    struct Shown {
        QString text;
        QString title;
        QPointer<QWidget> owner;  // the box's parent window
        bool onlyOk = false;      // an OK button and no other
        bool hasIcon = false;
        bool modal = false;
        bool busyCursor = false;  // a wait cursor over the box
    };

    MessageBoxCatcher();
    ~MessageBoxCatcher() override;

    const std::vector<Shown>& Boxes() const { return shown_; }
    QStringList Texts() const;
    // Message boxes still open (0 once every caught box has been closed).
    static int OpenCount();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<Shown> shown_;
};

} // namespace velmora::fixtures
