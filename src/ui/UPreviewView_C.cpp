#include "ui/UPreviewView_C.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <vector>

#include "composition/USheetRows_C.h"

namespace NS_Wnd {
namespace {

// Beyond this a pixel of the sheet is a block on screen: enough to read single pixels.
constexpr double LargestScale = 32;
constexpr double WheelStep = 1.25;

// The sheet's pixel under the centre of each screen pixel, so that at 1:1 the screen holds the
// sheet's own pixels and, scaled down, each screen pixel one of them. Rows are drawn only once
// each, and only those the screen shows. Returns a null image once `cancelled` says so.
QImage DrawScreen(const NS_Data::USheetRows_C& rows, QPointF origin, double scale, QSize size,
                  const std::function<bool()>& cancelled) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const auto sample = [scale](double from, int32_t at) {
        return static_cast<int32_t>(std::floor(from + (at + 0.5) / scale));
    };
    std::vector<int32_t> columns(static_cast<std::size_t>(size.width()));
    for (int32_t x = 0; x < size.width(); ++x) {
        const int32_t column = sample(origin.x(), x);
        columns[std::size_t(x)] = column >= 0 && column < rows.GetWidth() ? column : -1;
    }
    std::vector<uint32_t> row(static_cast<std::size_t>(rows.GetWidth()));
    int32_t rowDrawn = -1;
    for (int32_t y = 0; y < size.height(); ++y) {
        const int32_t sheetY = sample(origin.y(), y);
        if (sheetY < 0 || sheetY >= rows.GetHeight()) {
            continue;
        }
        if (cancelled()) {
            return {};
        }
        if (sheetY != rowDrawn) {
            rows.Draw(sheetY, row.data());
            rowDrawn = sheetY;
        }
        auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (std::size_t x = 0; x < columns.size(); ++x) {
            if (columns[x] >= 0) {
                out[x] = row[std::size_t(columns[x])];
            }
        }
    }
    return image;
}

void PaintCheckerboard(QPainter& painter, const QRect& area) {
    constexpr int32_t square = 8;
    painter.fillRect(area, QColor(0xFF, 0xFF, 0xFF));
    for (int32_t y = area.top() / square; y * square <= area.bottom(); ++y) {
        for (int32_t x = area.left() / square + (y + area.left() / square) % 2;
             x * square <= area.right(); x += 2) {
            painter.fillRect(x * square, y * square, square, square, QColor(0xCC, 0xCC, 0xCC));
        }
    }
}

QRectF ToQt(const URect_C& rect) {
    return {double(rect.left), double(rect.top), double(rect.GetWidth()), double(rect.GetHeight())};
}

}  // namespace

UPreviewView_C::UPreviewView_C(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(160, 160);
}

void UPreviewView_C::Show(std::shared_ptr<const UModel_S> newModel, int32_t newSheet) {
    model = std::move(newModel);
    sheet = newSheet;
    FitIfAsked();
    Redraw();
}

void UPreviewView_C::FitToView() {
    fitting = true;
    FitIfAsked();
    Redraw();
}

void UPreviewView_C::ShowActualSize() {
    ZoomAbout(QPointF(width() / 2.0, height() / 2.0), 1);
}

QSize UPreviewView_C::GetSheetSize() const {
    if (!model || sheet >= static_cast<int32_t>(model->plan.GetSheets().size())) {
        return {};
    }
    const USize_C size = model->plan.GetSheets()[std::size_t(sheet)];
    return {size.GetWidth(), size.GetHeight()};
}

// A small sheet is enlarged by whole steps only, so its pixels stay equal squares.
void UPreviewView_C::FitIfAsked() {
    const QSize sheetSize = GetSheetSize();
    if (!fitting || sheetSize.isEmpty()) {
        return;
    }
    double scale =
        std::min(double(width()) / sheetSize.width(), double(height()) / sheetSize.height());
    scale = scale >= 1 ? std::min(std::floor(scale), 8.0) : scale;
    view.scale = scale;
    view.origin =
        QPointF(sheetSize.width() - width() / scale, sheetSize.height() - height() / scale) / 2;
}

void UPreviewView_C::ZoomAbout(QPointF screenPoint, double scale) {
    if (GetSheetSize().isEmpty()) {
        return;
    }
    const QPointF sheetPoint = view.origin + screenPoint / view.scale;
    view.scale = std::clamp(scale, 1.0 / 1024, LargestScale);
    view.origin = sheetPoint - screenPoint / view.scale;
    fitting = false;
    Redraw();
}

void UPreviewView_C::Redraw() {
    pending = true;
    if (GetSheetSize().isEmpty() || width() <= 0 || height() <= 0) {
        Accept(painter.Supersede(), {}, view);
        return;
    }
    painter.Start(
        [this, held = model, number = sheet, asked = view, size = size()](uint64_t generation) {
            const std::vector<const NS_Data::Picture_S*>& pictures = held->input->pictures;
            const NS_Data::UComposeOptions_S& options = held->input->options;
            const USize_C sheetSize = held->plan.GetSheets()[std::size_t(number)];
            const NS_Data::USheetRows_C rows(sheetSize, held->plan.GetFrames(number, pictures),
                                             options.background, options.sheet.extrude);
            QImage image = DrawScreen(rows, asked.origin, asked.scale, size,
                                      [&] { return !painter.IsLatest(generation); });
            if (!image.isNull()) {
                QMetaObject::invokeMethod(
                    this, [this, generation, image, asked] { Accept(generation, image, asked); },
                    Qt::QueuedConnection);
            }
        });
    update();
}

void UPreviewView_C::Accept(uint64_t generation, QImage image, UView_S madeFor) {
    if (!painter.IsLatest(generation)) {
        return;
    }
    drawn = std::move(image);
    shown = drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    drawnView = madeFor;
    pending = false;
    update();
    if (drawnObserver) {
        drawnObserver();
    }
}

void UPreviewView_C::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    canvas.fillRect(rect(), palette().window());
    const QSize sheetSize = GetSheetSize();
    if (sheetSize.isEmpty()) {
        return;
    }
    const QRectF sheetOnScreen((QPointF(0, 0) - view.origin) * view.scale,
                               QSizeF(sheetSize) * view.scale);
    PaintCheckerboard(canvas, sheetOnScreen.toAlignedRect().intersected(rect()));
    if (!shown.isNull()) {
        // A drawing made for an earlier view stands in, moved and scaled, until the new arrives.
        const double ratio = view.scale / drawnView.scale;
        const QPointF at = (drawnView.origin - view.origin) * view.scale;
        canvas.drawImage(QRectF(at, QSizeF(shown.size()) * ratio), shown);
    }
    PaintOutlines(canvas);
}

void UPreviewView_C::PaintOutlines(QPainter& canvas) const {
    canvas.setPen(QPen(QColor(0x30, 0x80, 0xE0, 0xA0), 0));
    canvas.setBrush(Qt::NoBrush);
    const auto& placements = model->plan.GetPlacements();
    for (std::size_t i = 0; i < placements.size(); ++i) {
        if (placements[i].sheet == sheet) {
            const QRectF onSheet = ToQt(placements[i].frame.onSheet);
            const QRectF turned = placements[i].rotated
                                      ? QRectF(onSheet.topLeft(), onSheet.size().transposed())
                                      : onSheet;
            canvas.drawRect(
                QRectF((turned.topLeft() - view.origin) * view.scale, turned.size() * view.scale));
        }
    }
}

int32_t UPreviewView_C::FindPicture(QPointF screenPoint) const {
    if (GetSheetSize().isEmpty()) {
        return -1;
    }
    const QPointF sheetPoint = view.origin + screenPoint / view.scale;
    const auto& placements = model->plan.GetPlacements();
    for (std::size_t i = 0; i < placements.size(); ++i) {
        QRectF onSheet = ToQt(placements[i].frame.onSheet);
        if (placements[i].rotated) {
            onSheet.setSize(onSheet.size().transposed());
        }
        if (placements[i].sheet == sheet && onSheet.contains(sheetPoint)) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

void UPreviewView_C::resizeEvent(QResizeEvent*) {
    FitIfAsked();
    Redraw();
}

void UPreviewView_C::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    ZoomAbout(event->position(), view.scale * std::pow(WheelStep, steps));
}

void UPreviewView_C::mousePressEvent(QMouseEvent* event) {
    dragFrom = event->position();
}

void UPreviewView_C::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        view.origin -= (event->position() - dragFrom) / view.scale;
        dragFrom = event->position();
        fitting = false;
        Redraw();
        return;
    }
    const int32_t picture = FindPicture(event->position());
    if (picture < 0) {
        QToolTip::hideText();
        return;
    }
    const auto& placement = model->plan.GetPlacements()[std::size_t(picture)];
    const URect_C& at = placement.frame.onSheet;
    const QString name = QString::fromStdString(model->input->names[std::size_t(picture)]);
    const QString text =
        (placement.rotated ? tr("%1\n%2 x %3 at %4, %5, turned") : tr("%1\n%2 x %3 at %4, %5"))
            .arg(name)
            .arg(at.GetWidth())
            .arg(at.GetHeight())
            .arg(at.left)
            .arg(at.top);
    QToolTip::showText(event->globalPosition().toPoint(), text, this);
}

void UPreviewView_C::mouseReleaseEvent(QMouseEvent*) {}

}  // namespace NS_Wnd
