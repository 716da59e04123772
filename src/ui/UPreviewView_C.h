#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QPointF>
#include <QWidget>

#include <cstdint>
#include <memory>

#include "composition/USheetPlan_C.h"
#include "ui/ULatestTask_C.h"
#include "ui/UPreviewInput_S.h"

namespace NS_Wnd {

// One sheet of a plan as it will be written, over a checkerboard, with each frame's outline.
// Only the pixels on screen are drawn, row by row from the pictures on a worker thread, so a
// sheet of any size costs the view no more than its own area. The wheel zooms about the
// pointer, dragging pans, and hovering a frame names it.
class UPreviewView_C : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(UPreviewView_C)

public:
    struct UModel_S {
        std::shared_ptr<const UPreviewInput_S> input;
        NS_Data::USheetPlan_C plan;
    };

    explicit UPreviewView_C(QWidget* parent = nullptr);

    // Shows sheet `sheet` of `model`, or nothing when `model` is null.
    void Show(std::shared_ptr<const UModel_S> model, int32_t sheet);
    void FitToView();
    void ShowActualSize();

    // The sheet's pixels last drawn, straight alpha, one per screen pixel (for tests); null
    // while a drawing is pending.
    QImage GetDrawnPixels() const { return pending ? QImage() : drawn; }
    bool IsDrawing() const { return pending; }
    // Told when a drawing has reached the screen; for tests.
    void SetDrawnObserver(std::function<void()> observer) { drawnObserver = std::move(observer); }

    QSize sizeHint() const override { return {320, 240}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The transform from the sheet to the screen: screen = (sheet - origin) * scale.
    struct UView_S {
        QPointF origin;
        double scale = 1;
    };

    void Redraw();
    void Accept(uint64_t generation, QImage image, UView_S view);
    void FitIfAsked();
    void ZoomAbout(QPointF screenPoint, double scale);
    QSize GetSheetSize() const;
    void PaintOutlines(QPainter& painter) const;
    // The frame of the current sheet under `screenPoint`, or -1.
    int32_t FindPicture(QPointF screenPoint) const;

    std::shared_ptr<const UModel_S> model;
    int32_t sheet = 0;
    UView_S view;
    bool fitting = true;
    // What the screen shows: `drawn` was made for `drawnView`; `shown` is the same pixels
    // premultiplied, as painting wants them.
    QImage drawn;
    QImage shown;
    UView_S drawnView;
    bool pending = false;
    QPointF dragFrom;
    std::function<void()> drawnObserver;
    // A drawing no longer the latest stops at its next row.
    ULatestTask_C painter;
};

}  // namespace NS_Wnd
