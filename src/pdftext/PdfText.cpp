#include "pdftext/PdfText.h"

#include <poppler-qt6.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace clinora::pdftext {

namespace {

// A long report has a few pages; more than this is no report to read here.
constexpr int kMaxPages = 100;

void quiet(const QString &, const QVariant &) {}

} // namespace

QStringList linesOf(std::vector<Word> words)
{
    QStringList out;
    std::stable_sort(words.begin(), words.end(), [](const Word &a, const Word &b) { return a.top < b.top; });
    size_t i = 0;
    while (i < words.size()) {
        // A line: the words whose middle lies within the first one's height.
        std::vector<Word> line{words[i]};
        const double top = words[i].top, bottom = words[i].bottom;
        size_t j = i + 1;
        for (; j < words.size(); ++j) {
            const double middle = (words[j].top + words[j].bottom) / 2;
            if (middle < top || middle > bottom)
                break;
            line.push_back(words[j]);
        }
        i = j;
        std::stable_sort(line.begin(), line.end(), [](const Word &a, const Word &b) { return a.left < b.left; });
        QString text;
        for (size_t k = 0; k < line.size(); ++k) {
            if (k > 0) {
                const Word &prev = line[k - 1];
                const double height = std::max(1.0, prev.bottom - prev.top);
                const double gap = line[k].left - prev.right;
                if (gap > height * 1.2)
                    text += u'\t';
                else if (prev.spaceAfter || gap > height * 0.15)
                    text += u' ';
            }
            text += line[k].text;
        }
        out << text;
    }
    return out;
}

std::optional<referto::PdfContents> PopplerSource::open(const QByteArray &bytes, QString &message) const
{
    Poppler::setDebugErrorFunction(quiet, QVariant());
    const std::unique_ptr<Poppler::Document> doc = Poppler::Document::loadFromData(bytes);
    if (!doc) {
        message = u"Attenzione: il file non è un documento PDF leggibile: forse è danneggiato o incompleto."_s;
        return std::nullopt;
    }
    if (doc->isLocked()) {
        message = u"Attenzione: il documento PDF è protetto da una password: il programma non lo legge."_s;
        return std::nullopt;
    }
    referto::PdfContents contents;
    for (Poppler::EmbeddedFile *file : doc->embeddedFiles()) {
        if (!file || !file->isValid())
            continue;
        const QByteArray data = file->data();
        if (data.size() <= referto::kMaxReportBytes)
            contents.attachments.append({file->name(), data});
    }
    const int pages = std::min(doc->numPages(), kMaxPages);
    for (int p = 0; p < pages; ++p) {
        const std::unique_ptr<Poppler::Page> page = doc->page(p);
        if (!page)
            continue;
        std::vector<Word> words;
        for (const std::unique_ptr<Poppler::TextBox> &box : page->textList()) {
            const QRectF r = box->boundingBox();
            words.push_back({box->text(), r.left(), r.top(), r.right(), r.bottom(), box->hasSpaceAfter()});
        }
        contents.lines << linesOf(std::move(words));
    }
    return contents;
}

} // namespace clinora::pdftext
