#pragma once

#include "HelpFile.h"

#include <QList>
#include <QString>
#include <QWidget>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QTextEdit;

// Shows topics of the help file in one window of its own, beside the program's windows
// (never modal, so they stay usable). The window is made on first use and reused; a
// missing file or topic is said in the window itself. Tests switch to scripting, where
// showing a topic is only recorded.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    struct Request {
        QString helpFile;
        int contextNumber = 0;
        bool operator==(const Request&) const = default;
    };

    // The viewer first opens centred over parent's window but belongs to no window, so it
    // stays open while the program switches windows.
    static void showTopic(const QString& helpFile, int contextNumber, QWidget* parent = nullptr);
    // Closes the viewer when it is open, as ending the program does.
    static void closeViewer();
    static bool isViewerOpen();

    // Test seam. Starting closes any real viewer; while scripting, no window appears and
    // isViewerOpen() tells whether one would be open.
    static void startScripting();
    static void stopScripting();
    static QList<Request> requests();
    // The viewer window, or nullptr before the first topic and after closeViewer().
    static HelpViewer* current();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    HelpViewer();
    void display(const QString& helpFile, int contextNumber);
    void fillTopicList(int contextNumber);
    void showLookup(const HelpFile::Lookup& lookup);
    void lstTopicsCurrentItemChanged(QListWidgetItem* item);

    QListWidget* lstTopics;
    QLabel* lblTitle;
    QTextEdit* txtTopic;
    HelpFile m_file;
};
