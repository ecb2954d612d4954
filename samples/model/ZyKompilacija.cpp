// A model into display lists and textures (see ZyKompilacija.h).
#include "ZyKompilacija.h"

#include <GL/glu.h>

#include <cmath>

namespace zymodel {

namespace {

// The colour of a triangle without material: grey, or white under per-vertex colours.
constexpr float kSeryj[3] = {0.7f, 0.7f, 0.7f}, kBelyj[3] = {1.0f, 1.0f, 1.0f};

// The normal of triangle (a, b, c), unit length or zero.
void Normal(const float* a, const float* b, const float* c, float* n) {
    const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    n[0] = u[1] * v[2] - u[2] * v[1];
    n[1] = u[2] * v[0] - u[0] * v[2];
    n[2] = u[0] * v[1] - u[1] * v[0];
    const float d = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int i = 0; i < 3; ++i)
        n[i] = d > 0 ? n[i] / d : 0.0f;
}

// The texture object of material `mat` (0 for none).
GLuint Tekstura(const ZYS_MODEL& m, int mat, const std::vector<GLuint>& tekstury) {
    if (mat < 0) return 0;
    const int t = m.materialy[std::size_t(mat)].tekstura;
    return t >= 0 && std::size_t(t) < tekstury.size() ? tekstury[std::size_t(t)] : 0;
}

} // namespace

std::vector<GLuint> ZySozdatTekstury(const ZYS_MODEL& m) {
    std::vector<GLuint> imena(m.tekstury.size(), 0);
    if (imena.empty()) return imena;
    glGenTextures(GLsizei(imena.size()), imena.data());
    for (std::size_t i = 0; i < imena.size(); ++i) {
        const ZYS_TEKSTURA& t = m.tekstury[i];
        glBindTexture(GL_TEXTURE_2D, imena[i]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        // NOTE: GLU scales a side that is not a power of two (OpenGL 1.1 needs one) and one
        // beyond the implementation's limit.
        if (gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, GLint(t.shirina), GLint(t.vysota), GL_RGBA,
                              GL_UNSIGNED_BYTE, t.rgba.data()) != 0) {
            glDeleteTextures(1, &imena[i]);
            imena[i] = 0;
        }
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return imena;
}

void ZyKompilirovatChast(const ZYS_MODEL& m, const ZYS_CHAST& c,
                         const std::vector<GLuint>& tekstury, GLuint spisok) {
    const bool sCvetom = c.cveta.size() == c.tochki.size();
    const bool sUv = c.uv.size() / 2 == c.tochki.size() / 3;
    const float* bez = sCvetom ? kBelyj : kSeryj;
    glNewList(spisok, GL_COMPILE);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_TRIANGLES);
    int prezhnij = -2;
    GLuint tekstura = 0;
    const float* cvet = bez;
    for (std::size_t t = 0; t < c.materialy.size(); ++t) {
        const int mat = c.materialy[t];
        if (mat != prezhnij) {
            prezhnij = mat;
            cvet = mat >= 0 ? m.materialy[std::size_t(mat)].cvet : bez;
            const GLuint nova = sUv ? Tekstura(m, mat, tekstury) : 0;
            if (nova != tekstura) {
                // Textures change between primitives only.
                glEnd();
                if (nova) {
                    glBindTexture(GL_TEXTURE_2D, nova);
                    glEnable(GL_TEXTURE_2D);
                } else {
                    glDisable(GL_TEXTURE_2D);
                }
                tekstura = nova;
                glBegin(GL_TRIANGLES);
            }
            if (!sCvetom) glColor3fv(cvet);
        }
        const unsigned* v = &c.treugolniki[3 * t];
        float n[3];
        Normal(&c.tochki[3 * std::size_t(v[0])], &c.tochki[3 * std::size_t(v[1])],
               &c.tochki[3 * std::size_t(v[2])], n);
        glNormal3fv(n);
        for (int j = 0; j < 3; ++j) {
            const std::size_t i = v[j];
            if (sCvetom) {
                const float* vc = &c.cveta[3 * i];
                glColor3f(cvet[0] * vc[0], cvet[1] * vc[1], cvet[2] * vc[2]);
            }
            if (tekstura) glTexCoord2fv(&c.uv[2 * i]);
            glVertex3fv(&c.tochki[3 * i]);
        }
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glEndList();
}

} // namespace zymodel
