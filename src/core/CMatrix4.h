// A 4 x 4 float matrix stored row by row, translation in the last row.
// The product is out[r][c] = sum over k of a[r][k] * b[k][c].
#pragma once

namespace zu::core
{

struct CMatrix4
{
    float m[16];

    CMatrix4() { makeIdentity(); }

    void makeIdentity()
    {
        for (int i = 0; i < 16; ++i)
            m[i] = (i % 5 == 0) ? 1.f : 0.f;
    }

    float& operator()(int row, int col) { return m[row * 4 + col]; }
    float operator()(int row, int col) const { return m[row * 4 + col]; }

    CMatrix4 operator*(const CMatrix4& b) const
    {
        CMatrix4 out;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
            {
                float sum = 0.f;
                for (int k = 0; k < 4; ++k)
                    sum += (*this)(r, k) * b(k, c);
                out(r, c) = sum;
            }
        return out;
    }

    bool isIdentity() const
    {
        for (int i = 0; i < 16; ++i)
            if (m[i] != ((i % 5 == 0) ? 1.f : 0.f))
                return false;
        return true;
    }
};

} // namespace zu::core
