#pragma once

#include "framework/DispatchEvent.h"
#include "widgets/StoreValue.h"
#include "widgets/TColor.h"
#include "widgets/TNxColorScheme.h"
#include "widgets/TNxMargins.h"

#include <QFont>
#include <QImage>
#include <QWidget>

#include <vector>

enum TNxDisplayStyle { dsNormal, dsHeaderOnly, dsPanelOnly };
enum TNxDrawDirection { diLeftToRight, diRightToLeft };
enum TNxHeaderStyle { psFlat, psNormal, psSectionHeader, psVista, psWindowsLive };
enum TNxHeaderOption { hoColorSchemeFont = 1, hoCollapseButton = 2 };

// A container with a caption band across its top. Children go into the area
// below the band, inside the inner margins: Qt layouts get it as the
// contents rectangle, and AlignRect() gives it to code that places children
// by hand. A frame BorderWidth pixels wide runs round the outer edge.
class TNxHeaderPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)

public:
    explicit TNxHeaderPanel(QWidget* parent = nullptr);
    ~TNxHeaderPanel() override;

    // Every panel of the process, in order of creation.
    static const std::vector<TNxHeaderPanel*>& Panels();

    bool AdaptiveColors() const { return adaptiveColors_; }
    void SetAdaptiveColors(bool value) { Store(adaptiveColors_, value); }
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor value) { Store(borderColor_, value); }
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& value) { Store(caption_, value); }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& value) { setToolTip(value); }
    TColor Color() const { return color_; }
    void SetColor(TColor value) { Store(color_, value); }
    TNxColorScheme ColorScheme() const { return colorScheme_; }
    void SetColorScheme(TNxColorScheme value) { Store(colorScheme_, value); }
    TNxDisplayStyle DisplayStyle() const { return displayStyle_; }
    void SetDisplayStyle(TNxDisplayStyle value);
    TNxDrawDirection DrawDirection() const { return drawDirection_; }
    void SetDrawDirection(TNxDrawDirection value) { Store(drawDirection_, value); }
    bool Expanded() const { return expanded_; }
    void SetExpanded(bool value);
    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& value);
    TColor HeaderColor() const { return headerColor_; }
    void SetHeaderColor(TColor value) { Store(headerColor_, value); }
    const QFont& HeaderFont() const { return headerFont_; }
    void SetHeaderFont(const QFont& value);
    TColor HeaderFontColor() const { return headerFontColor_; }
    void SetHeaderFontColor(TColor value);
    // The colour the caption is drawn in: the scheme's or the header font's.
    TColor CaptionColor() const;
    int HeaderSize() const { return headerSize_; }
    void SetHeaderSize(int value);
    TNxHeaderStyle HeaderStyle() const { return headerStyle_; }
    void SetHeaderStyle(TNxHeaderStyle value) { Store(headerStyle_, value); }
    int Indent() const { return indent_; }
    void SetIndent(int value) { Store(indent_, value); }
    TNxMargins& InnerMargins() { return innerMargins_; }
    int Options() const { return options_; }
    void SetOptions(int value) { Store(options_, value); }
    bool ParentHeaderFont() const { return parentHeaderFont_; }
    void SetParentHeaderFont(bool value);
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& value);
    int FullWidth() const { return fullWidth_; }
    void SetFullWidth(int value) { fullWidth_ = value; }

    // While loading (a window being built) resizing neither collapses nor
    // expands the panel.
    void SetLoading(bool loading) { loading_ = loading; }

    // The area inside the frame, and the part of it where children go.
    QRect ClientRect() const;
    QRect AlignRect() const { return contentsRect(); }
    QRect HeaderRect() const;
    QRect CollapseButtonRect() const;
    QRect GlyphRect() const;

    TWidgetNotifyEvent OnChange;
    TWidgetNotifyEvent OnGlyphClick;
    TWidgetNotifyEvent OnHeaderClick;

signals:
    // The area for children moved or changed its size.
    void ClientAreaChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum ButtonState { bsHot = 1, bsPressed = 2 };

    template <typename T>
    void Store(T& field, const T& value)
    {
        if (StoreValue(field, value))
            update();
    }
    void Realign();
    void SetOwnWidth(int width);
    void SetButtonState(int state);
    TColor FrameColor() const;

    // Painting, in TNxHeaderPanelPaint.cpp.
    void PaintBody(QPainter& painter, const QRect& client) const;
    void PaintHeader(QPainter& painter, const QRect& header) const;
    void PaintNormalHeader(QPainter& painter, const QRect& header) const;
    void PaintSectionHeader(QPainter& painter, const QRect& header) const;
    void PaintVistaHeader(QPainter& painter, const QRect& header) const;
    void PaintWindowsLiveHeader(QPainter& painter, const QRect& header) const;
    void PaintCollapseButton(QPainter& painter) const;
    void PaintCaption(QPainter& painter, int left, int right) const;
    void PaintFrame(QPainter& painter) const;

    bool adaptiveColors_ = true;
    TColor borderColor_ = clBlack;
    int borderWidth_ = 1;
    QString caption_;
    TColor color_ = clWindow;
    TNxColorScheme colorScheme_ = csDefault;
    TNxDisplayStyle displayStyle_ = dsNormal;
    TNxDrawDirection drawDirection_ = diLeftToRight;
    bool expanded_ = true;
    QImage glyph_;
    TColor headerColor_ = clActiveCaption;
    QFont headerFont_;
    TColor headerFontColor_ = clWindowText;
    int headerSize_ = 27;
    TNxHeaderStyle headerStyle_ = psNormal;
    int indent_ = 9;
    TNxMargins innerMargins_;
    int options_ = hoColorSchemeFont;
    bool parentHeaderFont_ = true;
    QImage picture_;
    int fullWidth_ = 245;
    int buttonState_ = 0;
    bool headerPressed_ = false;
    bool changingOwnWidth_ = false;
    bool loading_ = false;
};
