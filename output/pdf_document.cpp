#include "output/pdf_document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QIODevice>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/posix_file.h"
#include "base/temp_file.h"

namespace quillet::output {

namespace {

// The temporary file as Qt's PDF engine writes into it. The engine ignores
// the results of its writes, so this device keeps the first failure for
// finish() to report, and fails every write after it. Writes are gathered
// into large blocks: the engine writes a few bytes at a time.
class CheckedFile : public QIODevice {
public:
    // Creates the temporary beside `target` and opens the device; false
    // (errno set) when the file cannot be created.
    bool create(const std::string& target) {
        base::TemporaryFile t = base::temporaryBeside(target);
        if (!t.fd.valid()) return false;
        fd_ = std::move(t.fd);
        name_ = std::move(t.name);
        return open(QIODevice::WriteOnly);
    }
    const std::string& name() const { return name_; }
    // errno of the first write that failed, 0 while none did.
    int failure() const { return failure_; }
    qint64 written() const { return written_; }
    // Writes what is gathered and closes the file; false on any failure.
    bool finish() {
        flush();
        close();
        if (fd_.valid() && ::close(fd_.release()) != 0 && failure_ == 0) failure_ = errno;
        return failure_ == 0;
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 n) override {
        if (failure_ != 0) return -1;
        pending_.insert(pending_.end(), data, data + n);
        if (pending_.size() >= kBlock) flush();
        return failure_ == 0 ? n : -1;
    }

private:
    static constexpr std::size_t kBlock = std::size_t(1) << 20;
    void flush() {
        if (failure_ == 0 && !pending_.empty()) {
            if (base::writeFully(fd_.get(), pending_.data(), pending_.size()))
                written_ += qint64(pending_.size());
            else
                failure_ = errno != 0 ? errno : EIO;
        }
        pending_.clear();
    }

    base::UniqueFd fd_;
    std::string name_;
    std::vector<char> pending_;
    int failure_ = 0;
    qint64 written_ = 0;
};

QPageLayout pageLayout(int widthMm, int heightMm) {
    return QPageLayout(QPageSize(QSizeF(widthMm, heightMm), QPageSize::Millimeter), QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

std::string errorText(int e) { return std::strerror(e); }

}  // namespace

bool isWholePdf(const std::string& path) {
    const base::UniqueFd f(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!f.valid() || ::fstat(f.get(), &st) != 0 || st.st_size < 16) return false;
    char tail[64] = {};
    const std::size_t n = std::size_t(std::min<off_t>(st.st_size, off_t(sizeof tail)));
    if (base::preadFully(f.get(), tail, n, st.st_size - off_t(n)) != std::ptrdiff_t(n)) return false;
    return std::string_view(tail, n).find("%%EOF") != std::string_view::npos;
}

struct PdfDocument::Writer {
    CheckedFile file;
    QPdfWriter pdf{&file};
    QPainter painter;
};

PdfDocument::PdfDocument(std::string path) : path_(std::move(path)) {}

PdfDocument::~PdfDocument() {
    if (!writer_) return;
    if (writer_->painter.isActive()) writer_->painter.end();
    const std::string temp = writer_->file.name();
    writer_.reset();
    if (!temp.empty()) ::unlink(temp.c_str());
}

void PdfDocument::addPage(const imaging::Bitmap& page, int widthMm, int heightMm, int pixelsPerInch) {
    if (!page.monochrome() || page.isEmpty()) throw PdfError(path_ + ": only monochrome pages can be written");
    const QImage image = imaging::toBlackFirstMono(page);
    if (image.isNull()) throw PdfError(path_ + ": not enough memory for the page image");
    if (!writer_) {
        writer_ = std::make_unique<Writer>();
        if (!writer_->file.create(path_)) throw PdfError(path_ + ": cannot be created (" + errorText(errno) + ")");
        writer_->pdf.setCreator(QStringLiteral("Quillet"));
        writer_->pdf.setResolution(pixelsPerInch > 0 ? pixelsPerInch : 300);
        writer_->pdf.setPageLayout(pageLayout(widthMm, heightMm));
        if (!writer_->painter.begin(&writer_->pdf)) throw PdfError(path_ + ": cannot be written");
    } else {
        writer_->pdf.setPageLayout(pageLayout(widthMm, heightMm));
        if (!writer_->pdf.newPage()) throw PdfError(path_ + ": cannot be written");
    }
    // The whole page, exactly as the PDF's page box holds it.
    const QRectF box = writer_->pdf.pageLayout().fullRectPoints();
    const double toDevice = writer_->pdf.resolution() / 72.0;
    writer_->painter.setRenderHint(QPainter::LosslessImageRendering, true);
    writer_->painter.drawImage(QRectF(0, 0, box.width() * toDevice, box.height() * toDevice), image);
    if (writer_->file.failure() != 0)
        throw PdfError(path_ + ": cannot be written (" + errorText(writer_->file.failure()) + ")");
    ++pages_;
}

void PdfDocument::finish() {
    if (!writer_) throw PdfError(path_ + ": there are no pages to write");
    writer_->painter.end();
    CheckedFile& file = writer_->file;
    if (!file.finish()) throw PdfError(path_ + ": cannot be written (" + errorText(file.failure()) + ")");
    struct stat st {};
    if (::stat(file.name().c_str(), &st) != 0 || st.st_size != file.written() || !isWholePdf(file.name()))
        throw PdfError(path_ + ": cannot be written (the file is incomplete)");
    if (::rename(file.name().c_str(), path_.c_str()) != 0)
        throw PdfError(path_ + ": cannot be given its name (" + errorText(errno) + ")");
    writer_.reset();
    base::removeStaleTemporariesBeside(path_);
}

}  // namespace quillet::output
