#pragma once

#include "core/fill/batchrun.h"

#include <QDialog>
#include <QStringList>
#include <QTimer>

#include <memory>

class OfficeSession;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class SystemEngines;
class SystemPrinting;

// What a list run did, for its summary.
struct ListTally {
    int rowsDone = 0;
    int rowCount = 0;
    int saved = 0;    // copies, PDF copies included
    int printed = 0;
    int records = 0;
    QStringList problems; // "Row N: ..."
    bool cancelled = false;
    QString saveFolder;
};

// The progress of a list run: "Row N of M", the row's save name and Cancel.
// Rows run from the event loop a slice at a time, so the window repaints
// and answers Cancel between slices; Cancel lets the row under way finish,
// then writes what the finished rows added. The summary follows.
class ListRunForm : public QDialog {
    Q_OBJECT
public:
    // Longest stretch of rows between two looks at the events.
    static constexpr int kSliceMilliseconds = 60;

    ListRunForm(const BatchInput &input, OfficeSession *office, QWidget *owner);
    ~ListRunForm() override;

    void start();
    void cancel();
    const ListTally &tally() const;

Q_SIGNALS:
    void ended();

protected:
    void reject() override; // Escape and the window's close button cancel
    void closeEvent(QCloseEvent *event) override;

private:
    class Observer;
    class OfficeWaits;
    void slice();
    void showProgress();
    void end();

    std::unique_ptr<Observer> m_observer;
    std::unique_ptr<OfficeWaits> m_waits;
    std::unique_ptr<SystemPrinting> m_printing;
    std::unique_ptr<SystemEngines> m_engines;
    std::unique_ptr<BatchRun> m_batch;
    QLabel *m_rowLabel;
    QLabel *m_nameLabel;
    QProgressBar *m_bar;
    QPushButton *m_cancelButton;
    QTimer m_timer;
    bool m_cancelled = false;
    bool m_ended = false;
};

// The end of a list run: rows done, copies saved, records added, and every
// problem with its row; a button opens the folder of the copies.
class ListSummaryForm : public QDialog {
    Q_OBJECT
public:
    ListSummaryForm(const ListTally &tally, QWidget *owner);

private:
    QString m_folder;
};
