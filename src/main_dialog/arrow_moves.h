#pragma once
// Where the arrow keys take the focus in the main window, as on a remote control: Left and Right
// along a row, Up and Down between rows in the same column. The close button is a row of its own
// above the others; Down from it goes back to the column Up came from.
#include <cstddef>
#include <utility>
#include <vector>

enum class ArrowKey { Left, Right, Up, Down };

class ArrowMoves {
public:
    // The rows shown, top to bottom, each left to right.
    explicit ArrowMoves(std::vector<std::vector<int>> rows) : m_rows(std::move(rows)) {}
    // The control the key takes the focus to from `from`: `from` itself at the edge of the
    // window, 0 when `from` is in no row. `column` is the column remembered for the close
    // button's row; it is updated by every move up or down from a longer row.
    int Target(int from, ArrowKey key, size_t& column) const;

private:
    std::vector<std::vector<int>> m_rows;
};
