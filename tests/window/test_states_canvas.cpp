#include "window/states_canvas.h"

#include "player/all_states_playback.h"

#include <gtest/gtest.h>

#include <vector>

namespace patapata {
namespace {

// Catches a click that lands on the neighbouring view (a wrong pitch, rows taken for columns),
// and a click between views, or on the empty end of the last row, that plays a state.
TEST(StatesCanvas, APointIsInTheViewDrawnThereOrInNone) {
  StatesCanvas canvas;
  const std::vector<StatePlay> plays{
      {.state = 1}, {.state = 2}, {.state = 15}, {.state = 16}, {.state = 0}};
  for (const int zoom : {1, 2}) {
    SCOPED_TRACE(zoom);
    canvas.arrange(plays, zoom, 3);
    const QRect first = canvas.pictureRect(1);
    const QRect second = canvas.pictureRect(2);
    const QRect below = canvas.pictureRect(16);
    // Two rows of three, the second holding two views.
    ASSERT_EQ(second.top(), first.top());
    ASSERT_GT(second.left(), first.right());
    ASSERT_GT(below.top(), first.bottom());
    ASSERT_EQ(below.left(), first.left());
    ASSERT_EQ(first.size(), QSize(121 * zoom, 271 * zoom));
    const QRect last = canvas.pictureRect(0);
    struct Case {
      const char* name;
      QPoint point;
      int32_t state;
    };
    const Case cases[] = {
        {"a picture's middle", first.center(), 1},
        {"a picture's first pixel", first.topLeft(), 1},
        {"a picture's last pixel", first.bottomRight(), 1},
        {"the next picture's first pixel", second.topLeft(), 2},
        {"a caption", first.topLeft() - QPoint(0, 4), 1},
        {"the second row", below.center(), 16},
        {"a view without a button", last.center(), 0},
        {"between two views", QPoint((first.right() + second.left()) / 2, first.center().y()), -1},
        {"between two rows", QPoint(first.center().x(), first.bottom() + 5), -1},
        {"after the last view", last.center() + QPoint(second.left() - first.left(), 0), -1},
        {"above every view", QPoint(first.center().x(), 0), -1},
        {"beyond the right end", QPoint(canvas.width() - 1, first.center().y()), -1},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      EXPECT_EQ(canvas.stateAt(c.point), c.state);
    }
  }
}

}  // namespace
}  // namespace patapata
