#pragma once

// The value panes beside an analysis plot: FadenkreuzeDB shows the values of both crosshairs and
// their differences, BarDB the time of the document's current frame, FadenkreuzeBarDB both. The
// value texts carry their control ids as object names.

#include <QFrame>

#include <array>

class Fadenkreuze;
class QLabel;

class ValuePane : public QFrame {
  Q_OBJECT
 public:
  // The narrowest a pane is, the same for all three; wider when its font needs it.
  static constexpr int kTemplateWidth = 150;
  // The most characters a value text takes: a difference of two values below 10^8 with its sign,
  // such as "-199999.9800".
  static constexpr int kValueCharacters = 12;

  bool HasCrosshairRows() const { return rows_[0] != nullptr; }
  bool HasReading() const { return reading_[0] != nullptr; }

  // Crosshair rows: a is the abscissa, b the ordinate value, both in display units; the missing
  // value for a crosshair outside the plot.
  void ShowValues(float a1, float b1, float a2, float b2);
  void UpdateSelected(float a, float b);
  void SetFirst(float a, float b) { ShowValues(a, b, a2_, b2_); }
  void SetSecond(float a, float b) { ShowValues(a1_, b1_, a, b); }
  void SetCrosshairs(const Fadenkreuze* crosshairs) { crosshairs_ = crosshairs; }
  const Fadenkreuze* GetCrosshairs() const { return crosshairs_; }
  // Hides missing values, greys those of the crosshair that is not grabbed.
  void UpdateControls();

  // The reading: mode 0 hides both numbers, 1 shows the first, 2 both.
  void ShowReading(float first, float second);
  void SetMode(int mode);

 protected:
  // rowIds: first and second abscissa, first and second ordinate, their differences (or null);
  // readingIds: the two numbers (or null).
  ValuePane(QWidget* parent, const int* rowIds, const int* readingIds);

 private:
  std::array<QLabel*, 6> rows_{};
  std::array<QLabel*, 2> reading_{};
  float a1_, b1_, a2_, b2_;
  const Fadenkreuze* crosshairs_ = nullptr;
};

class FadenkreuzeDB : public ValuePane {
  Q_OBJECT
 public:
  explicit FadenkreuzeDB(QWidget* parent);
};

class BarDB : public ValuePane {
  Q_OBJECT
 public:
  explicit BarDB(QWidget* parent);
};

class FadenkreuzeBarDB : public ValuePane {
  Q_OBJECT
 public:
  explicit FadenkreuzeBarDB(QWidget* parent);
};
