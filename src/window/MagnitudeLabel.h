// A row's magnitude label. Its size is fixed, wide enough for the longest
// text a magnitude can have in its font: a label of fixed size never asks the
// window for a new layout when its text changes, which otherwise happens on
// every keystroke. The size is fixed when the label is polished, before it
// is first shown or measured, and again for a new font or style.
#ifndef BITLENS_MAGNITUDELABEL_H
#define BITLENS_MAGNITUDELABEL_H

#include <QLabel>

class MagnitudeLabel : public QLabel {
    Q_OBJECT
    // Shows 1000-based words (thousand up to quadrillion) rather than
    // 1024-based units (KB up to PB), whose longest text is narrower.
    Q_PROPERTY(bool metric READ isMetric WRITE setMetric)

public:
    explicit MagnitudeLabel(QWidget* parent = nullptr);

    bool isMetric() const { return fMetric; }
    void setMetric(bool metric);
    // At 128 bits a magnitude goes past its largest unit: 24 digits before
    // the point, where 64 bits need at most 4.
    void setWide(bool wide);

    // Shows `magnitude` and, while assistive technology listens, tells it
    // that the name it reads has changed.
    void setMagnitude(const QString& magnitude);
    // What assistive technology calls the label: what it is, then what it
    // shows ("Value binary magnitude: 1.500 KB").
    QString spokenText() const;

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fixSize();

    bool fMetric = false;
    bool fWide = false;
};

#endif
