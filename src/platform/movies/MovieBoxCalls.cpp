// The movie box and matrix. The box is the movie's natural bounds (the
// union of its enabled visual tracks, each through its own matrix) seen
// through the movie matrix; setting the box sets the matrix. Setting the box
// does not mark the movie changed: it is how the movie is shown, and only
// the box at saving time ends up in the file, as the matrix.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/movies/Movies.h"
#include "platform/movies/model/MovieRecord.h"
#include "platform/movies/model/Registry.h"

namespace {

struct Bounds {
    double left = 0, top = 0, right = 0, bottom = 0;
    bool empty = true;

    void Add(double x, double y)
    {
        if (empty) {
            left = right = x;
            top = bottom = y;
            empty = false;
            return;
        }
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
};

// The rectangle's corners through the matrix (x' = a x + c y + tx).
Bounds Transform(const Bounds& r, const MatrixRecord& m)
{
    Bounds out;
    if (r.empty)
        return out;
    auto f = [](Fixed v) { return double(v) / 65536.0; };
    double a = f(m.matrix[0][0]), b = f(m.matrix[0][1]), c = f(m.matrix[1][0]), d = f(m.matrix[1][1]);
    double tx = f(m.matrix[2][0]), ty = f(m.matrix[2][1]);
    for (double x : {r.left, r.right})
        for (double y : {r.top, r.bottom})
            out.Add(a * x + c * y + tx, b * x + d * y + ty);
    return out;
}

Bounds NaturalBounds(const MovieRecord& m)
{
    Bounds all;
    for (auto& t : m.tracks) {
        if (!t->enabled || t->width <= 0 || t->height <= 0)
            continue;
        Bounds r;
        r.Add(0, 0);
        r.Add(double(t->width) / 65536.0, double(t->height) / 65536.0);
        Bounds tb = Transform(r, t->matrix);
        all.Add(tb.left, tb.top);
        all.Add(tb.right, tb.bottom);
    }
    return all;
}

short ToShort(double v) { return short(std::clamp(std::lround(v), -32768l, 32767l)); }

Rect BoxOf(const MovieRecord& m)
{
    Bounds b = Transform(NaturalBounds(m), m.matrix);
    if (b.empty)
        return Rect{0, 0, 0, 0};
    return Rect{ToShort(b.top), ToShort(b.left), ToShort(b.bottom), ToShort(b.right)};
}

bool SameRect(const Rect& a, const Rect& b)
{
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

}  // namespace

void GetMovieBox(Movie theMovie, Rect* boxRect)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m || !boxRect) {
        if (m)
            SetMoviesError(paramErr);
        return;
    }
    *boxRect = BoxOf(*m);
    SetMoviesError(noErr);
}

void SetMovieBox(Movie theMovie, const Rect* boxRect)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m)
        return;
    if (!boxRect || boxRect->right < boxRect->left || boxRect->bottom < boxRect->top) {
        SetMoviesError(paramErr);
        return;
    }
    SetMoviesError(noErr);
    if (SameRect(*boxRect, BoxOf(*m)))
        return;  // keeps a matrix that already shows this box
    Bounds n = NaturalBounds(*m);
    double w = n.empty ? 0 : n.right - n.left, h = n.empty ? 0 : n.bottom - n.top;
    double sx = w > 0 ? (boxRect->right - boxRect->left) / w : 1.0;
    double sy = h > 0 ? (boxRect->bottom - boxRect->top) / h : 1.0;
    MatrixRecord mat = IdentityMatrix();
    mat.matrix[0][0] = X2Fix(sx);
    mat.matrix[1][1] = X2Fix(sy);
    mat.matrix[2][0] = X2Fix(boxRect->left - (n.empty ? 0 : n.left) * sx);
    mat.matrix[2][1] = X2Fix(boxRect->top - (n.empty ? 0 : n.top) * sy);
    m->matrix = mat;
}

void GetMovieMatrix(Movie theMovie, MatrixRecord* matrix)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m)
        return;
    if (matrix)
        *matrix = m->matrix;
    SetMoviesError(matrix ? noErr : paramErr);
}

void SetMovieMatrix(Movie theMovie, const MatrixRecord* matrix)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m)
        return;
    MatrixRecord value = matrix ? *matrix : IdentityMatrix();
    if (std::memcmp(&value, &m->matrix, sizeof value) != 0) {
        m->matrix = value;
        m->MarkChanged();
    }
    SetMoviesError(noErr);
}
