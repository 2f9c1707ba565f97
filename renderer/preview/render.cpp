#include "render.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "embree_scene.h"

namespace preview {
namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int kMaxBounces = 6;
constexpr int kTileSize = 16;
// The back of a surface shows darker, so a face written with reversed corners stands out.
constexpr float kBackShade = 0.25f;

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// PCG32: small, fast and the same on every platform.
class Random {
public:
    Random(uint64_t seed, uint64_t stream) : increment_((stream << 1) | 1) {
        next();
        state_ += seed;
        next();
    }
    uint32_t next() {
        const uint64_t old = state_;
        state_ = old * 6364136223846793005ULL + increment_;
        const uint32_t shifted = static_cast<uint32_t>(((old >> 18) ^ old) >> 27);
        const uint32_t rotation = static_cast<uint32_t>(old >> 59);
        return (shifted >> rotation) | (shifted << ((32 - rotation) & 31));
    }
    float uniform() { return static_cast<float>(next() >> 8) * 0x1p-24f; }

private:
    uint64_t state_ = 0;
    uint64_t increment_;
};

// Two unit vectors that make a right-handed frame with n.
void basis(Vec3 n, Vec3& t, Vec3& b) {
    const float sign = std::copysign(1.0f, n.z);
    const float a = -1 / (sign + n.z);
    const float c = n.x * n.y * a;
    t = {1 + sign * n.x * n.x * a, sign * c, -sign * n.x};
    b = {c, sign + n.y * n.y * a, -n.y};
}

Vec3 cosineDirection(Vec3 n, Random& random) {
    const float r = std::sqrt(random.uniform()), phi = 2 * kPi * random.uniform();
    Vec3 t, b;
    basis(n, t, b);
    return normalize(t * (r * std::cos(phi)) + b * (r * std::sin(phi)) +
                     n * std::sqrt(std::fmax(0.0f, 1 - r * r)));
}

Vec3 reflect(Vec3 d, Vec3 n) { return d - n * (2 * dot(d, n)); }

// Moves a ray's start off the surface it leaves, in proportion to the coordinates' size.
Vec3 offset(Vec3 p, Vec3 n) {
    const float size = std::fmax(std::fabs(p.x), std::fmax(std::fabs(p.y), std::fabs(p.z)));
    return p + n * (1e-4f * (1 + size));
}

// Up to this many emitting meshes each get a sample at every bounce; more are picked
// from by their power, one per bounce.
constexpr size_t kLightsSampledEach = 8;

// An emitting mesh, with the running sums of its triangles' areas.
struct Light {
    uint32_t mesh;
    std::vector<float> areaSums;
};

// Index of the first running sum above u times the total.
size_t pickFromSums(const std::vector<float>& sums, float u) {
    const auto chosen = std::upper_bound(sums.begin(), sums.end(), u * sums.back());
    return std::min<size_t>(chosen - sums.begin(), sums.size() - 1);
}

// What a ray hit, ready for shading.
struct Surface {
    Vec3 position, geometric, shading;
    float u = 0, v = 0;
    bool hasUv = false;
    uint32_t material = 0;
};

class Tracer {
public:
    Tracer(const Scene& scene, const RenderSettings& settings)
        : scene_(scene), settings_(settings), embree_(scene) {
        collectLights();
    }

    // Sum of all samples' radiance for one pixel, divided by their number.
    Vec3 pixel(int x, int y, const Camera& camera, const Screen& screen, uint64_t& rays) const {
        const uint64_t index = static_cast<uint64_t>(y) * settings_.width + x;
        Random random(settings_.seed, index);
        Vec3 sum;
        for (int s = 0; s < settings_.samples; ++s) {
            const float sx = (x + random.uniform()) / settings_.width;
            const float sy = (y + random.uniform()) / settings_.height;
            sum += radiance(camera.position, screen.direction(sx, sy), random, rays);
        }
        return sum * (1.0f / settings_.samples);
    }

private:
    void collectLights() {
        for (uint32_t m = 0; m < scene_.meshes.size(); ++m) {
            const TriangleMesh& mesh = scene_.meshes[m];
            const float radiance = luminance(scene_.materials[mesh.material].emission);
            if (!(radiance > 0) || mesh.triangles.empty()) continue;
            Light light{m, {}};
            float sum = 0;
            for (uint32_t t = 0; t < mesh.triangles.size() / 3; ++t)
                light.areaSums.push_back(sum += area(mesh, t));
            if (!(sum > 0)) continue;
            lights_.push_back(std::move(light));
            powerSums_.push_back((powerSums_.empty() ? 0 : powerSums_.back()) + radiance * sum);
        }
    }

    static Vec3 corner(const TriangleMesh& mesh, uint32_t triangle, int k) {
        return mesh.positions[mesh.triangles[3 * triangle + k]];
    }
    static Vec3 faceNormal(const TriangleMesh& mesh, uint32_t triangle) {
        const Vec3 a = corner(mesh, triangle, 0);
        return cross(corner(mesh, triangle, 1) - a, corner(mesh, triangle, 2) - a);
    }
    static float area(const TriangleMesh& mesh, uint32_t triangle) {
        return 0.5f * length(faceNormal(mesh, triangle));
    }

    bool intersect(Vec3 origin, Vec3 direction, RTCRayHit& hit, uint64_t& rays) const {
        ++rays;
        RTCIntersectContext context;
        rtcInitIntersectContext(&context);
        hit = {};
        hit.ray.org_x = origin.x, hit.ray.org_y = origin.y, hit.ray.org_z = origin.z;
        hit.ray.dir_x = direction.x, hit.ray.dir_y = direction.y, hit.ray.dir_z = direction.z;
        hit.ray.tfar = std::numeric_limits<float>::infinity();
        hit.ray.mask = ~0u;
        hit.hit.geomID = RTC_INVALID_GEOMETRY_ID;
        rtcIntersect1(embree_.handle(), &context, &hit);
        return hit.hit.geomID != RTC_INVALID_GEOMETRY_ID;
    }

    bool occluded(Vec3 origin, Vec3 direction, float distance, uint64_t& rays) const {
        ++rays;
        RTCIntersectContext context;
        rtcInitIntersectContext(&context);
        RTCRay ray{};
        ray.org_x = origin.x, ray.org_y = origin.y, ray.org_z = origin.z;
        ray.dir_x = direction.x, ray.dir_y = direction.y, ray.dir_z = direction.z;
        ray.tfar = distance;
        ray.mask = ~0u;
        rtcOccluded1(embree_.handle(), &context, &ray);
        return ray.tfar < 0;
    }

    Surface surface(const RTCRayHit& hit, Vec3 origin, Vec3 direction) const {
        Surface s;
        s.position = origin + direction * hit.ray.tfar;
        const EmbreeScene::Source owner = embree_.source(hit.hit.geomID);
        if (owner.kind == EmbreeScene::Kind::Curves) {
            s.geometric = s.shading = normalize({hit.hit.Ng_x, hit.hit.Ng_y, hit.hit.Ng_z});
            s.material = scene_.curves[owner.index].material;
            return s;
        }
        const TriangleMesh& mesh = scene_.meshes[owner.index];
        const uint32_t t = hit.hit.primID;
        const float u = hit.hit.u, v = hit.hit.v, w = 1 - u - v;
        s.material = mesh.material;
        s.geometric = s.shading = normalize(faceNormal(mesh, t));
        if (!mesh.cornerNormals.empty()) {
            const Vec3 n = mesh.cornerNormals[3 * t] * w + mesh.cornerNormals[3 * t + 1] * u +
                           mesh.cornerNormals[3 * t + 2] * v;
            // Zero normals (a mesh that asks for flat shading) leave the face's own.
            if (length(n) > 1e-6f) s.shading = normalize(n);
        }
        if (!mesh.cornerUvs.empty()) {
            const float* uv = &mesh.cornerUvs[6 * t];
            s.u = uv[0] * w + uv[2] * u + uv[4] * v;
            s.v = uv[1] * w + uv[3] * u + uv[5] * v;
            s.hasUv = true;
        }
        return s;
    }

    Vec3 albedo(const Material& m, const Surface& s) const {
        if (m.texture < 0 || !s.hasUv) return m.diffuse;
        const UvPlacement& p = m.placement;
        const float u = (s.u - p.shiftU) / p.scaleU, v = (s.v - p.shiftV) / p.scaleV;
        if (!p.wrap && (u < 0 || u > 1 || v < 0 || v > 1)) return m.diffuse;
        return scene_.textures[m.texture].sample(u, v);
    }

    // Light reaching p directly from the emitting meshes, over the cosine at p.
    Vec3 directLight(Vec3 p, Vec3 shading, Vec3 facing, Random& random, uint64_t& rays) const {
        if (lights_.empty()) return {};
        Vec3 sum;
        if (lights_.size() <= kLightsSampledEach) {
            for (const Light& light : lights_)
                sum += lightSample(light, 1, p, shading, facing, random, rays);
            return sum;
        }
        const size_t i = pickFromSums(powerSums_, random.uniform());
        const float probability =
            (powerSums_[i] - (i > 0 ? powerSums_[i - 1] : 0)) / powerSums_.back();
        return probability > 0
                   ? lightSample(lights_[i], probability, p, shading, facing, random, rays)
                   : Vec3{};
    }

    // One point on the light, uniform over its area.
    Vec3 lightSample(const Light& light, float probability, Vec3 p, Vec3 shading, Vec3 facing,
                     Random& random, uint64_t& rays) const {
        const TriangleMesh& mesh = scene_.meshes[light.mesh];
        const uint32_t triangle =
            static_cast<uint32_t>(pickFromSums(light.areaSums, random.uniform()));
        const float r1 = std::sqrt(random.uniform()), r2 = random.uniform();
        const Vec3 a = corner(mesh, triangle, 0), b = corner(mesh, triangle, 1),
                   c = corner(mesh, triangle, 2);
        const Vec3 x = a * (1 - r1) + b * (r1 * (1 - r2)) + c * (r1 * r2);
        const Vec3 start = offset(p, facing);
        Vec3 toLight = x - start;
        const float distance = length(toLight);
        if (!(distance > 0)) return {};
        toLight = toLight * (1 / distance);
        const float cosSurface = dot(shading, toLight);
        const Vec3 lightNormal = normalize(faceNormal(mesh, triangle));
        const float cosLight = -dot(lightNormal, toLight);
        if (cosSurface <= 0 || dot(facing, toLight) <= 0 || cosLight <= 0) return {};
        // Stop short, so a light's coincident faces do not shadow each other.
        if (occluded(start, toLight, distance * 0.999f, rays)) return {};
        const Vec3 emission = scene_.materials[mesh.material].emission;
        return emission * (cosSurface * cosLight * light.areaSums.back() /
                           (distance * distance * probability));
    }

    Vec3 radiance(Vec3 origin, Vec3 direction, Random& random, uint64_t& rays) const {
        Vec3 result, weight{1, 1, 1};
        bool countEmission = true;  // off after a diffuse bounce: direct light counted it
        for (int bounce = 0; bounce < kMaxBounces; ++bounce) {
            RTCRayHit hit;
            if (!intersect(origin, direction, hit, rays)) {
                result += weight * settings_.environment;
                break;
            }
            const Surface s = surface(hit, origin, direction);
            const Material& m = scene_.materials[s.material];
            if (maxComponent(m.emission) > 0) {
                if (countEmission) result += weight * m.emission;
                break;
            }
            const bool front = dot(s.geometric, direction) < 0;
            const Vec3 facing = front ? s.geometric : -s.geometric;
            Vec3 shading = front ? s.shading : -s.shading;
            if (dot(shading, facing) <= 0) shading = facing;

            Vec3 diffuse = albedo(m, s);
            if (!front) diffuse = diffuse * kBackShade;
            const float pDiffuse = luminance(diffuse), pMirror = luminance(m.specular);
            if (!(pDiffuse + pMirror > 0)) break;
            if (random.uniform() * (pDiffuse + pMirror) < pMirror) {
                weight = weight * m.specular * ((pDiffuse + pMirror) / pMirror);
                direction = reflect(direction, shading);
                countEmission = true;
            } else {
                weight = weight * diffuse * ((pDiffuse + pMirror) / pDiffuse);
                result +=
                    weight * directLight(s.position, shading, facing, random, rays) * (1 / kPi);
                direction = cosineDirection(shading, random);
                countEmission = false;
            }
            if (dot(direction, facing) <= 0) break;
            if (bounce >= 2) {
                const float survive = std::fmin(0.95f, maxComponent(weight));
                if (random.uniform() >= survive) break;
                weight = weight * (1 / survive);
            }
            origin = offset(s.position, facing);
        }
        return result;
    }

    const Scene& scene_;
    const RenderSettings& settings_;
    EmbreeScene embree_;
    std::vector<Light> lights_;
    std::vector<float> powerSums_;  // running sums of the lights' emitted power
};

uint8_t srgbByte(float linear) {
    const float c = std::fmin(std::fmax(linear, 0.0f), 1.0f);
    const float encoded = c <= 0.0031308f ? 12.92f * c : 1.055f * std::pow(c, 1 / 2.4f) - 0.055f;
    return static_cast<uint8_t>(std::lround(encoded * 255));
}

}  // namespace

Picture render(const Scene& scene, const RenderSettings& settings, RenderStats* stats,
               const RenderControl& control) {
    if (settings.width < 1 || settings.height < 1 || settings.width > 16384 ||
        settings.height > 16384 || settings.samples < 1)
        throw std::runtime_error("picture size or samples out of range");
    const auto buildStart = std::chrono::steady_clock::now();
    const Tracer tracer(scene, settings);
    const double buildSeconds = secondsSince(buildStart);

    const Camera camera = scene.camera
                              ? *scene.camera
                              : framingCamera(scene, float(settings.width) / settings.height);
    const Screen screen(camera, settings.width, settings.height);
    Picture picture;
    picture.width = settings.width;
    picture.height = settings.height;
    picture.rgb.resize(static_cast<size_t>(settings.width) * settings.height * 3);

    const int tilesX = (settings.width + kTileSize - 1) / kTileSize;
    const int tilesY = (settings.height + kTileSize - 1) / kTileSize;
    const int tiles = tilesX * tilesY;
    std::atomic<int> nextTile{0}, doneTiles{0};
    std::atomic<uint64_t> rays{0};
    std::mutex mutex;
    std::condition_variable finished;
    auto cancelled = [&] { return control.cancel && control.cancel->load(); };
    auto work = [&] {
        uint64_t myRays = 0;
        for (int tile; (tile = nextTile++) < tiles && !cancelled();) {
            const int x0 = tile % tilesX * kTileSize, y0 = tile / tilesX * kTileSize;
            for (int y = y0; y < std::min(y0 + kTileSize, settings.height); ++y)
                for (int x = x0; x < std::min(x0 + kTileSize, settings.width); ++x) {
                    const Vec3 c = tracer.pixel(x, y, camera, screen, myRays) * settings.exposure;
                    uint8_t* out = &picture.rgb[(static_cast<size_t>(y) * settings.width + x) * 3];
                    out[0] = srgbByte(c.x), out[1] = srgbByte(c.y), out[2] = srgbByte(c.z);
                }
            if (++doneTiles == tiles) {
                const std::lock_guard<std::mutex> lock(mutex);
                finished.notify_all();
            }
        }
        rays += myRays;
    };

    const auto traceStart = std::chrono::steady_clock::now();
    const unsigned threads = settings.threads > 0
                                 ? unsigned(settings.threads)
                                 : std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < threads; ++i) workers.emplace_back(work);
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (!finished.wait_for(lock, std::chrono::milliseconds(100),
                                  [&] { return doneTiles == tiles || cancelled(); }))
            if (control.progress) control.progress(double(doneTiles) / tiles);
    }
    for (std::thread& worker : workers) worker.join();
    if (cancelled()) throw RenderCancelled();
    if (stats) *stats = {buildSeconds, secondsSince(traceStart), rays.load()};
    return picture;
}

}  // namespace preview
