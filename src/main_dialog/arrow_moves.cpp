#include "main_dialog/arrow_moves.h"

#include <algorithm>

int ArrowMoves::Target(int from, ArrowKey key, size_t& column) const {
    for (size_t row = 0; row < m_rows.size(); ++row) {
        const std::vector<int>& controls = m_rows[row];
        const auto at = std::find(controls.begin(), controls.end(), from);
        if (at == controls.end()) continue;
        const auto index = static_cast<size_t>(at - controls.begin());
        switch (key) {
            case ArrowKey::Left: return index > 0 ? controls[index - 1] : from;
            case ArrowKey::Right: return index + 1 < controls.size() ? controls[index + 1] : from;
            case ArrowKey::Up:
            case ArrowKey::Down: {
                const bool up = key == ArrowKey::Up;
                if (up ? row == 0 : row + 1 == m_rows.size()) return from;
                if (controls.size() > 1) column = index;
                const std::vector<int>& next = m_rows[up ? row - 1 : row + 1];
                return next.empty() ? from : next[std::min(column, next.size() - 1)];
            }
        }
    }
    return 0;
}
