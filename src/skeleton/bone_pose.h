// The 14-bone stick skeleton: its pose, the matrices of its pieces, and the .bones file.
//
// A pose gives every bone a rotation relative to its parent and a length; in its own frame
// a bone starts at its joint and runs along +Y. A .bones file is the 280-byte image of one
// BonePose, stored as a text stream: each 0x0A byte of the record is written as 0x0D 0x0A.
#pragma once

#include <cstddef>

#include "math/math3d.h"

constexpr int kBoneCount = 14;

struct BoneRecord {
    Quaternion rotation;  // relative to the parent bone's frame
    float length;
};

struct BonePose {
    BoneRecord bones[kBoneCount];
};

static_assert(sizeof(BoneRecord) == 20, "a bone record is 20 bytes in the file");
static_assert(sizeof(BonePose) == 280, "a pose is the 280-byte file image");

constexpr size_t kPoseBytes = sizeof(BonePose);
// Every record byte takes at most two file bytes (0x0A is stored as 0x0D 0x0A).
constexpr size_t kMaxPoseFileBytes = 2 * kPoseBytes;

// Bone names in slot order, as the pose editor lists them.
extern const char* const kBoneNames[kBoneCount];

// The drawable pieces of a character; the numbers 2 to 5 name no piece.
enum BodyPiece {
    piece_head = 0,
    piece_body = 1,
    piece_left_hand = 6,
    piece_right_hand = 7,
    piece_left_foot = 8,
    piece_right_foot = 9,
};

// The bones from a root out to one bone, root first.
struct BoneChain {
    int count;
    int bones[4];
};

// kBoneChains[b] is the chain that ends at bone b.
extern const BoneChain kBoneChains[kBoneCount];

// Upright trunk and head, shoulders and up legs out to the sides, arms and legs hanging;
// "left" bones lie on the +X side.
void default_pose(BonePose& out);

// The matrix that carries a point in the frame of the tip of the last of n bones (root
// first) into the figure's frame. With no list (bones null, or n < 0) out is untouched
// and the result is false; n == 0 gives the identity.
bool bone_chain_matrix(Matrix& out, const BoneRecord* bones, int n);

// bone_chain_matrix of the fixed chain that ends at bone. False (out untouched) for a
// number that names no bone.
bool bone_matrix(Matrix& out, const BonePose& pose, int bone);

// The matrix of one body piece in the figure's frame. False (out untouched) for a
// number that names no BodyPiece.
bool piece_matrix(Matrix& out, const BonePose& pose, int piece);

// --- the .bones file -----------------------------------------------------------------

enum PoseLoadStatus {
    pose_ok,          // all 280 record bytes came from the file
    pose_missing,     // no such file; the pose is unchanged
    pose_short_file,  // the file ended early; the bytes it had were stored from the start
    pose_unreadable,  // the file exists but could not be read; the pose is unchanged
};

struct PoseLoad {
    PoseLoadStatus status = pose_ok;
    int record_bytes = 0;  // record bytes taken from the file
    bool longer = false;   // the file held bytes beyond one pose; they were ignored
    int replaced = 0;      // damaged values replaced by defaults or clamped
    int error = 0;         // errno when missing or unreadable
};

// A load that needs no word to the user.
bool pose_load_is_clean(const PoseLoad& result);

// Decodes the file bytes data[0, size) over pose: bytes the data does not supply keep
// their values. Then every value decoded (wholly or partly) from the data is repaired:
// NaN or infinity becomes the default pose's value, rotation components are clamped to
// [-1, 1] and lengths to [0, 10]. Quaternions are not renormalised. Prints nothing.
PoseLoad apply_pose_file_bytes(BonePose& pose, const unsigned char* data, size_t size);

// Reads the file at path over pose as apply_pose_file_bytes does; a missing or unreadable
// file changes nothing. Never allocates and prints nothing.
PoseLoad load_pose(BonePose& pose, const char* path);

// One line on stderr for anything but a clean load.
void report_pose_load(const char* path, const PoseLoad& result);

// Writes the file image of pose into out (room for kMaxPoseFileBytes); returns its size.
size_t encode_pose_file(const BonePose& pose, unsigned char* out);

// Replaces the file at path with pose. On failure the old file is kept whole, a line
// on stderr says why, and the result is false.
bool save_pose(const BonePose& pose, const char* path);
