// Linear prediction and line spectral frequencies. Tested by tests/voice/melp_dsp_test.cpp.
#include "voice/melp/lpc_lib.h"

#include <cmath>

#include "voice/melp/melp_prim.h"

namespace melp {

namespace {

constexpr int kSortPasses = 10;
constexpr float kRootStep = 1.0f / 128.0f;
constexpr int kRootBisections = 4;

// Sum over k of c[k] T_k(x) by Clenshaw's recurrence, c[0..n].
double chebyshev_eval(double x, const double* c, int n) {
    double b1 = 0.0, b2 = 0.0;
    for (int k = n; k >= 1; --k) {
        const double b0 = 2.0 * x * b1 - b2 + c[k];
        b2 = b1;
        b1 = b0;
    }
    return x * b1 - b2 + c[0];
}

// Finds the p roots of the interlaced Chebyshev series sum (c[0]) and
// difference (c[1]) in x, from x = 1 downward; returns how many it found.
int lsp_roots(const double* const c[2], int degree, double* roots, int p) {
    int found = 0;
    int which = 0;
    double xHigh = 1.0;
    double yHigh = chebyshev_eval(xHigh, c[which], degree);
    while (found < p && xHigh > -1.0 - kRootStep) {
        const double xLow = xHigh - kRootStep;
        const double yLow = chebyshev_eval(xLow, c[which], degree);
        if (yLow * yHigh > 0.0) {
            xHigh = xLow;
            yHigh = yLow;
            continue;
        }
        double a = xLow, ya = yLow, b = xHigh, yb = yHigh;
        for (int i = 0; i < kRootBisections; ++i) {
            const double mid = 0.5 * (a + b);
            const double ym = chebyshev_eval(mid, c[which], degree);
            if (ym * yb <= 0.0) {
                a = mid;
                ya = ym;
            } else {
                b = mid;
                yb = ym;
            }
        }
        const double root = (ya == yb) ? 0.5 * (a + b) : a - ya * (b - a) / (yb - ya);
        roots[found++] = root;
        which ^= 1;
        xHigh = root;
        yHigh = chebyshev_eval(xHigh, c[which], degree);
    }
    return found;
}

}  // namespace

void autocorrelation(const float* x, float* r, int p, int n) {
    for (int k = 0; k <= p; ++k) r[k] = vec_dot(x, x + k, n - k);
    if (r[0] < 1.0f) r[0] = 1.0f;
}

float schur_recursion(const float* r, float* a, float* k, int p) {
    p = CheckedLimit(p, 0, kMaxLpcOrder);
    // The order recursion gives the same reflection coefficients as Schur's
    // lattice form; the predictor is then rebuilt from them.
    double pred[kMaxLpcOrder + 1] = {1.0};
    double prev[kMaxLpcOrder + 1];
    double error = r[0];
    for (int m = 1; m <= p; ++m) {
        double acc = r[m];
        for (int i = 1; i < m; ++i) acc += pred[i] * r[m - i];
        double km = error > 0.0 ? -acc / error : 0.0;
        // Rounding must never make the lattice unstable.
        if (km > 0.9999) km = 0.9999;
        if (km < -0.9999) km = -0.9999;
        k[m] = static_cast<float>(km);
        for (int i = 1; i < m; ++i) prev[i] = pred[i];
        for (int i = 1; i < m; ++i) pred[i] = prev[i] + km * prev[m - i];
        pred[m] = km;
        error *= 1.0 - km * km;
    }
    reflection_to_lpc(k, a, p);
    return static_cast<float>(error);
}

void reflection_to_lpc(const float* k, float* a, int p) {
    float prev[kMaxLpcOrder + 1];
    a[0] = 1.0f;
    for (int m = 1; m <= p; ++m) {
        vec_copy(prev, a, m);
        a[m] = k[m];
        for (int i = 1; i < m; ++i) a[i] = prev[i] + k[m] * prev[m - i];
    }
}

void lpc_to_reflection(const float* a, float* k, int p) {
    p = CheckedLimit(p, 0, kMaxLpcOrder);
    double cur[kMaxLpcOrder + 1], prev[kMaxLpcOrder + 1];
    for (int i = 0; i <= p; ++i) cur[i] = a[i];
    for (int m = p; m >= 1; --m) {
        const double km = cur[m];
        k[m] = static_cast<float>(km);
        const double denom = 1.0 - km * km;
        for (int i = 1; i < m; ++i) prev[i] = denom > 1e-12 ? (cur[i] - km * cur[m - i]) / denom : 0.0;
        for (int i = 1; i < m; ++i) cur[i] = prev[i];
    }
}

void lpc_bandwidth_expand(const float* a, float* b, float g, int p) {
    double factor = g;
    for (int k = 1; k <= p; ++k) {
        b[k] = static_cast<float>(a[k] * factor);
        factor *= g;
    }
}

float lpc_power_response(const float* a, float w, int p) {
    if (p == 0) return 1.0f;
    // Horner in z^-1 = e^{-jw}: A = 1 + z^-1 (a1 + z^-1 (a2 + ...)).
    const double c = std::cos(w), s = -std::sin(w);
    double re = a[p], im = 0.0;
    for (int k = p - 1; k >= 0; --k) {
        const double nre = re * c - im * s + (k == 0 ? 1.0 : a[k]);
        const double nim = re * s + im * c;
        re = nre;
        im = nim;
    }
    return static_cast<float>(re * re + im * im);
}

void lsf_to_lpc(float* f, float* a, int p) {
    p = CheckedLimit(p, 2, kMaxLpcOrder);
    lsf_clamp(f, 0.0f, p);
    // Sum polynomial from the odd-numbered LSFs, difference from the even.
    double sum[kMaxLpcOrder + 2] = {1.0};
    double diff[kMaxLpcOrder + 2] = {1.0};
    int sumDegree = 0, diffDegree = 0;
    for (int i = 1; i <= p; ++i) {
        double* poly = (i % 2 == 1) ? sum : diff;
        int& degree = (i % 2 == 1) ? sumDegree : diffDegree;
        const double c = -2.0 * std::cos(M_PI * f[i]);
        poly[degree + 2] = 0.0;
        poly[degree + 1] = 0.0;
        for (int j = degree + 2; j >= 1; --j) poly[j] += c * poly[j - 1] + (j >= 2 ? poly[j - 2] : 0.0);
        degree += 2;
    }
    // A = (P (1 + z^-1) + Q (1 - z^-1)) / 2.
    a[0] = 1.0f;
    for (int k = 1; k <= p; ++k) {
        const double pk = sum[k] + sum[k - 1];
        const double qk = diff[k] - diff[k - 1];
        a[k] = static_cast<float>(0.5 * (pk + qk));
    }
}

bool lpc_to_lsf(const float* a, float* f, int p) {
    p = CheckedLimit(p, 2, kMaxLpcOrder);
    // P(z) = A(z) + z^-(p+1) A(1/z) and Q(z) = A(z) - z^-(p+1) A(1/z), with
    // their trivial roots at z = -1 and z = 1 divided out.
    const int half = p / 2;
    double ps[kMaxLpcOrder + 1], qs[kMaxLpcOrder + 1];
    ps[0] = qs[0] = 1.0;
    for (int k = 1; k <= half; ++k) {
        ps[k] = a[k] + a[p + 1 - k] - ps[k - 1];
        qs[k] = a[k] - a[p + 1 - k] + qs[k - 1];
    }
    // On the unit circle the symmetric polynomial is e^{-j half w} times
    // 2 sum_{k<half} ps[k] cos((half-k) w) + ps[half]: a Chebyshev series.
    double cp[kMaxLpcOrder / 2 + 1], cq[kMaxLpcOrder / 2 + 1];
    for (int k = 0; k < half; ++k) {
        cp[half - k] = 2.0 * ps[k];
        cq[half - k] = 2.0 * qs[k];
    }
    cp[0] = ps[half];
    cq[0] = qs[half];
    const double* series[2] = {cp, cq};
    double roots[kMaxLpcOrder];
    const int found = lsp_roots(series, half, roots, p);
    for (int i = 0; i < found; ++i) {
        double x = roots[i];
        if (x > 1.0) x = 1.0;
        if (x < -1.0) x = -1.0;
        f[i + 1] = static_cast<float>(std::acos(x) / M_PI);
    }
    if (found < p) return false;
    lsf_clamp(f, 0.0f, p);
    return true;
}

bool lsf_clamp(float* f, float delta, int p) {
    bool sorted = false;
    for (int pass = 0; pass < kSortPasses && !sorted; ++pass) {
        sorted = true;
        for (int i = 1; i < p; ++i) {
            if (f[i + 1] < f[i]) {
                const float t = f[i];
                f[i] = f[i + 1];
                f[i + 1] = t;
                sorted = false;
            }
        }
    }
    if (!sorted) {
        // A last pass may have finished the job without proof; check it.
        sorted = true;
        for (int i = 1; i < p; ++i)
            if (f[i + 1] < f[i]) sorted = false;
        if (!sorted) return false;
    }
    if (delta <= 0.0f) return true;
    for (int pass = 0; pass < kSortPasses; ++pass) {
        bool moved = false;
        for (int i = 1; i < p; ++i) {
            const float d = f[i + 1] - f[i];
            if (d >= delta) continue;
            moved = true;
            float s1 = (delta - d) / 2.0f, s2 = s1;
            if (i == 1) {
                if (f[1] < delta) s1 = f[1] / 2.0f;
            } else {
                const float g = f[i] - f[i - 1];
                if (g < delta)
                    s1 = 0.0f;
                else if (g < 2.0f * delta)
                    s1 = (g - delta) / 2.0f;
            }
            if (i == p - 1) {
                if (f[p] > 1.0f - delta) s2 = (1.0f - f[p]) / 2.0f;
            } else {
                const float g = f[i + 2] - f[i + 1];
                if (g < delta)
                    s2 = 0.0f;
                else if (g < 2.0f * delta)
                    s2 = (g - delta) / 2.0f;
            }
            f[i] -= s1;
            f[i + 1] += s2;
        }
        if (!moved) break;
    }
    return true;
}

}  // namespace melp

namespace melp {

void lsf_make_stable(float* f, float gap, int p) {
    float low = 0.0f;
    for (int i = 1; i <= p; ++i) {
        if (!(f[i] >= low + gap)) f[i] = low + gap;  // also replaces a NaN
        low = f[i];
    }
    float high = 1.0f;
    for (int i = p; i >= 1; --i) {
        if (f[i] > high - gap) f[i] = high - gap;
        high = f[i];
    }
}

}  // namespace melp
