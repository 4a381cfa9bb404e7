#pragma once

#include "common/ui/Screen.h"
#include "summary/Trend.h"

#include <QDate>

#include <memory>

class QChartView;
class QComboBox;
class QLabel;
class QPushButton;

namespace clinora {

class Picture;
class ReportTemplate;

// The trend of a summary's numeric results, one exam at a time: a line over
// the sample dates with the reference range behind it and the alarming
// results marked; printed or saved as PDF on the template "Andamento
// risultati".
class TfrmGrafico : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmGrafico(ScreenContext &ctx, QWidget *parent = nullptr);
    ~TfrmGrafico() override;

    // What to show: the summary's trends, its patient and its interval.
    void setTrends(const summary::TrendSet &trends, const QString &codFisc, const QDate &from, const QDate &to);

    Picture *imgIntestazione;
    QComboBox *txtEsame;
    QChartView *grfAndamento;
    QLabel *lblEsclusi;
    QPushButton *btnStampa, *btnPDF, *btnChiudi;

    // The exam shown.
    const summary::ExamTrend *shownTrend() const;
    // The template of the page, filled for the exam shown and laid out.
    std::unique_ptr<ReportTemplate> preparedReport() const;

    void txtEsameChange();
    void btnStampaClick();
    void btnPDFClick();
    void btnChiudiClick();

private:
    QString excludedText() const;
    QString intervalText() const;

    summary::TrendSet m_trends;
    QString m_codFisc;
    QDate m_from, m_to;
};

} // namespace clinora
