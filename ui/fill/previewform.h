#pragma once

#include "ui/dialogs/singleinstance.h"

#include <QBuffer>
#include <QByteArray>
#include <QWidget>

class OfficeSession;
class QLabel;
class QPdfDocument;
class QPdfView;
class QPushButton;
namespace Preview {
struct Request;
}

// The pages a filled document would print, one at a time, with page
// navigation and zoom. Nothing is printed or saved.
class PreviewForm : public SingleWindow<PreviewForm, QWidget> {
    Q_OBJECT
public:
    // Fills the document with the request's values and shows its pages over
    // `owner`, through the session's office where the document needs one.
    // False, after telling the user why, when there is nothing to show.
    static bool showDocument(const Preview::Request &request, OfficeSession *session, QWidget *owner);

    explicit PreviewForm(QWidget *owner);
    ~PreviewForm() override;

    void setPages(const QByteArray &pdf, const QString &documentName);
    int pageCount() const;
    int currentPage() const; // from 0
    void showPage(int page);
    void zoomBy(qreal factor);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void showPosition();
    void fitPage();

    QByteArray m_pdf;
    QBuffer m_source;
    QPdfDocument *m_document;
    QPdfView *m_view;
    QLabel *m_pageLabel;
    QLabel *m_zoomLabel;
    QPushButton *m_previousButton;
    QPushButton *m_nextButton;
    QPushButton *m_zoomInButton;
    QPushButton *m_zoomOutButton;
    QPushButton *m_closeButton;
    int m_page = 0;
    bool m_fitPending = false; // the first page is fitted to the window once it has its size
};
