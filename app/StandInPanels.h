#pragma once

// Plain stand-ins for the styled header panel and link label, kept until the
// styled widgets take their place: a captioned panel with a coloured frame of
// a given width, and a clickable label showing the link text.

#include <QLabel>
#include <QWidget>
#include <functional>

class THeaderPanelStandIn : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    THeaderPanelStandIn(QWidget* parent, const QString& name);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    void SetBorderColor(QColor color);
    void SetHeaderSize(int size);
    void SetHeaderColor(QColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateMargins();

    QString caption_;
    int borderWidth_ = 1;
    int headerSize_ = 27;
    QColor borderColor_ = Qt::black;
    QColor headerColor_ = QColor(166, 202, 240);
};

class TLinkLabelStandIn : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    TLinkLabelStandIn(QWidget* parent, const QString& name);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    std::function<void(QObject* Sender)> OnClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString caption_;
};
