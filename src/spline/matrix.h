#pragma once
// A two-dimensional table of doubles indexed (row, column), every access
// bounds-checked.

#include <cstddef>
#include <vector>

#include "thermo/numerical_fault.h"

namespace envelope {

class Matrix {
public:
    Matrix(std::size_t rows, std::size_t columns) : rows_(rows), columns_(columns), cells_(rows * columns, 0.0) {}

    std::size_t rows() const { return rows_; }
    std::size_t columns() const { return columns_; }

    double& operator()(long long row, long long column) { return cells_[index(row, column)]; }
    double operator()(long long row, long long column) const { return cells_[index(row, column)]; }

    bool operator==(const Matrix&) const = default;

private:
    std::size_t index(long long row, long long column) const
    {
        if (row < 0 || column < 0 || static_cast<std::size_t>(row) >= rows_ ||
            static_cast<std::size_t>(column) >= columns_) [[unlikely]]
            RaiseNumericalFault(FaultKind::Index, "index out of range");
        return static_cast<std::size_t>(row) * columns_ + static_cast<std::size_t>(column);
    }

    std::size_t rows_;
    std::size_t columns_;
    std::vector<double> cells_;
};

} // namespace envelope
