// The batch sub-commands.
#include "app/batch_command.h"

#include <unistd.h>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <numeric>

#include "app/command_line.h"
#include "base/folder_listing.h"
#include "base/lumisto_error.h"
#include "base/metadata_policy.h"
#include "base/strict_int.h"
#include "base/usage_error.h"
#include "batch/batch_job_file.h"
#include "batch/batch_run.h"
#include "batch/batch_save.h"
#include "imaging/image_io.h"
#include "styles/template_library.h"

namespace {

enum class Existing { Refuse, Overwrite, Skip };

// A job split over several processes: shard index of count, both counted from 1. Entry k of the job
// (from 0) belongs to shard k % count + 1, so shards interleave and take even shares of a job whose
// heavy photos cluster.
struct Shard {
  int index = 1;
  int count = 1;
  bool Holds(int row) const { return row % count + 1 == index; }
};

// More shards than this is a typing slip, not a cluster.
constexpr int kMaxShards = 100000;

Shard ParseShard(const QString& text) {
  const QString usage =
      QStringLiteral("--shard needs I/N with 1 <= I <= N <= %1, not '%2'").arg(kMaxShards).arg(text.left(60));
  const qsizetype slash = text.indexOf(u'/');
  if (slash < 0) throw UsageError(usage);
  const auto number = [&](QStringView digits) {
    // Digits only: a sign has no place in a shard number.
    const auto n = ParseInteger(digits, 1, kMaxShards);
    if (!n || digits.startsWith(u'+')) throw UsageError(usage);
    return static_cast<int>(*n);
  };
  Shard shard;
  shard.index = number(QStringView(text).left(slash));
  shard.count = number(QStringView(text).mid(slash + 1));
  if (shard.count < 1 || shard.count > kMaxShards || shard.index < 1 || shard.index > shard.count)
    throw UsageError(usage);
  return shard;
}

// What `batch JOB --out DIR ...` asks for.
struct RenderArguments {
  QString job;
  QString folder;
  int jobs = DefaultBatchJobs();
  Existing existing = Existing::Refuse;
  Shard shard;
  bool force = false;                              // an output may be its own entry's photo
  MetadataPolicy metadata = MetadataPolicy::Keep;  // as render's --strip-metadata and --strip-location
};

RenderArguments ParseRenderArguments(const QStringList& args) {
  RenderArguments a;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    const auto value = [&]() -> QString {
      if (i + 1 >= args.size()) throw UsageError(QStringLiteral("%1 needs a value").arg(arg));
      return args[++i];
    };
    if (arg == QLatin1String("--out")) {
      a.folder = value();
    } else if (arg == QLatin1String("--jobs")) {
      const auto jobs = ParseInteger(value(), 1, kMaxBatchJobs);
      if (!jobs) throw UsageError(QStringLiteral("--jobs needs a number from 1 to %1").arg(kMaxBatchJobs));
      a.jobs = static_cast<int>(*jobs);
    } else if (arg == QLatin1String("--shard")) {
      a.shard = ParseShard(value());
    } else if (arg == QLatin1String("--force")) {
      a.force = true;
    } else if (arg == QLatin1String("--strip-metadata")) {
      a.metadata = MetadataPolicy::Strip;
    } else if (arg == QLatin1String("--strip-location")) {
      if (a.metadata != MetadataPolicy::Strip) a.metadata = MetadataPolicy::NoLocation;
    } else if (arg == QLatin1String("--overwrite") || arg == QLatin1String("--skip-existing")) {
      const Existing wanted = arg == QLatin1String("--overwrite") ? Existing::Overwrite : Existing::Skip;
      if (a.existing != Existing::Refuse && a.existing != wanted)
        throw UsageError(QStringLiteral("--overwrite and --skip-existing exclude each other"));
      a.existing = wanted;
    } else if (arg.startsWith(QLatin1String("--"))) {
      throw UsageError(QStringLiteral("batch does not know %1").arg(arg));
    } else if (a.job.isEmpty()) {
      a.job = arg;
    } else {
      throw UsageError(QStringLiteral("batch takes one job file"));
    }
  }
  if (a.job.isEmpty() || a.folder.isEmpty()) throw UsageError(QStringLiteral("batch takes JOB --out DIR"));
  return a;
}

// The work of one run, decided before anything is written.
struct RunPlan {
  QList<BatchTask> tasks;
  int skipped = 0;
  QStringList problems;  // each stops the whole run: nothing is written
  QStringList notices;   // said on the way, the run goes on
};

RunPlan PlanRun(const RenderArguments& a, const QList<BatchEntry>& entries, const QString& out_folder) {
  QList<int> rows(entries.size());
  std::iota(rows.begin(), rows.end(), 0);
  // The names are planned over the whole job, so a name written twice is seen by every shard as it
  // is by one run; only this shard's own files are looked for on disk, because the other shards may
  // be writing theirs into the same folder right now.
  const QList<PlannedOutput> whole =
      PlanOutputs(entries, rows, out_folder, [](const QString&) { return false; });
  RunPlan plan;
  QStringList existing;
  QList<const PlannedOutput*> own;
  for (const PlannedOutput& p : whole) {
    const QString shown = QDir::toNativeSeparators(p.path);
    // A photo or template of any entry is never written over, whichever shard would write it.
    if (p.clash == InputClash::kOtherInput)
      plan.problems << QDir::toNativeSeparators(p.clash_text) +
                           QStringLiteral(": an output never replaces an input");
    if (!a.shard.Holds(p.row)) {
      if (p.asks) existing << shown;
      continue;
    }
    if (!p.refusal.isEmpty()) {
      plan.problems << QStringLiteral("entry %1: %2").arg(p.row + 1).arg(p.refusal);
      continue;
    }
    if (p.clash == InputClash::kOwnPhoto && !a.force)
      plan.problems << QDir::toNativeSeparators(p.clash_text) + QStringLiteral("; --force writes over it");
    if (!p.crop_notice.isEmpty())
      plan.notices << QStringLiteral("entry %1: %2").arg(p.row + 1).arg(p.crop_notice);
    const bool asks = p.asks || QFileInfo::exists(p.path);
    if (asks && a.existing == Existing::Refuse) {
      existing << shown;
      continue;
    }
    if (asks && a.existing == Existing::Skip) {
      ++plan.skipped;
      continue;
    }
    plan.tasks << BatchTask{p.row, RequestForPlanned(entries[p.row], p)};
  }
  for (const QString& path : existing)
    plan.problems << path + QStringLiteral(" exists or is written twice; use --overwrite or --skip-existing");
  return plan;
}

// Renders the tasks, showing progress on a terminal and one line per failed entry.
BatchSummary RunTasks(const QList<BatchTask>& tasks, int jobs, MetadataPolicy metadata, QTextStream& err) {
  BatchSummary summary;
  const TextureList textures = TextureList::LoadShipped();
  BatchRun run(tasks, jobs, [&textures, metadata](const RenderRequest& r) {
    RenderRequest request = r;
    request.metadata = metadata;
    RenderToFile(request, textures);
  });
  run.Start();
  const bool terminal = isatty(STDERR_FILENO) != 0;
  const auto report = [&] {
    for (const BatchOutcome& o : run.TakeNewOutcomes()) {
      summary.Add(o);
      if (o.kind == BatchOutcomeKind::Failed) {
        if (terminal) err << "\r\033[K";
        err << "lumisto: " << QDir::toNativeSeparators(o.output_path) << ": " << o.reason << '\n';
      }
    }
    if (terminal) {
      const QStringList now = run.InProgress();
      err << "\r\033[K" << run.Done() << " of " << run.Total()
          << (now.isEmpty() ? QString() : QStringLiteral("  ") + QFileInfo(now.first()).fileName());
    }
    err.flush();
  };
  while (!run.WaitFor(200)) report();
  report();
  if (terminal) err << "\r\033[K";
  return summary;
}

// The closing tally on out; failures make the exit code 1.
int Report(const BatchSummary& summary, QTextStream& out) {
  out << summary.written << " written, " << summary.skipped << " skipped, " << summary.failed << " failed\n";
  return summary.failed > 0 ? kExitFailure : kExitOk;
}

int Render(const QStringList& args, QTextStream& out, QTextStream& err) {
  const RenderArguments a = ParseRenderArguments(args);
  const QList<BatchEntry> entries = ReadBatchJob(a.job);
  const QString out_folder = QDir(a.folder).absolutePath();
  const RunPlan plan = PlanRun(a, entries, out_folder);
  // Nothing is written unless every entry of the run can be.
  if (!plan.problems.isEmpty()) {
    for (const QString& problem : plan.problems) err << "lumisto: " << problem << '\n';
    return kExitFailure;
  }
  for (const QString& notice : plan.notices) err << "lumisto: warning: " << notice << '\n';
  if (!QDir().mkpath(a.folder))
    throw LumistoError(QStringLiteral("%1: cannot make the folder").arg(a.folder));
  BatchSummary summary = RunTasks(plan.tasks, a.jobs, a.metadata, err);
  summary.skipped += plan.skipped;
  return Report(summary, out);
}

int Add(const QStringList& args, QTextStream& out) {
  QString job, templ;
  QStringList photos;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == QLatin1String("--template")) {
      if (i + 1 >= args.size()) throw UsageError(QStringLiteral("--template needs a value"));
      templ = args[++i];
    } else if (arg.startsWith(QLatin1String("--"))) {
      throw UsageError(QStringLiteral("batch add does not know %1").arg(arg));
    } else if (job.isEmpty()) {
      job = arg;
    } else {
      photos << arg;
    }
  }
  if (job.isEmpty() || templ.isEmpty() || photos.isEmpty())
    throw UsageError(QStringLiteral("batch add takes JOB --template TEMPLATE PHOTO..."));

  const QString template_path = QFileInfo(templ).absoluteFilePath();
  const QString settings = TemplateSettingsPath(template_path);
  if (!QFileInfo(settings).isFile()) throw LumistoError(QStringLiteral("%1: no file").arg(settings));
  FrameStyle style;
  try {
    ReadFrameStyle(settings, style);
  } catch (const LumistoError& e) {
    throw LumistoError(QStringLiteral("%1: %2").arg(settings, e.Message()));
  }
  QList<BatchEntry> entries = QFileInfo::exists(job) ? ReadBatchJob(job) : QList<BatchEntry>();
  if (entries.size() + photos.size() > kMaxJobEntries)
    throw LumistoError(
        QStringLiteral("%1: a job file holds at most %2 entries").arg(job).arg(kMaxJobEntries));
  // Every photo is checked before the file changes: all are added, or none.
  for (const QString& photo : photos) {
    const QFileInfo info(photo);
    const QSize size = info.isFile() ? ReadImageSize(photo) : QSize();
    if (!size.isValid() || size.isEmpty())
      throw LumistoError(QStringLiteral("%1: not a photo that can be read").arg(photo));
    BatchEntry entry = NeutralBatchEntry(info.absoluteFilePath(), template_path, style);
    entry.output_name = info.fileName();
    if (const auto problem = OutputNameProblem(entry.output_name))
      throw LumistoError(QStringLiteral("%1: %2").arg(photo, *problem));
    entry.frame_name = QFileInfo(template_path).completeBaseName();
    entry.size_text = SizeText(size);
    entry.edit.photo_width = size.width();
    entry.edit.photo_height = size.height();
    entries << entry;
  }
  WriteBatchJob(job, entries);
  out << photos.size() << " added, " << entries.size() << " in " << job << '\n';
  return kExitOk;
}

int List(const QStringList& args, QTextStream& out) {
  if (args.size() != 1) throw UsageError(QStringLiteral("batch list takes one job file"));
  for (const BatchEntry& e : ReadBatchJob(args[0]))
    out << e.output_name << '\t' << e.edit.photo_path << '\t' << e.edit.template_path << '\n';
  return kExitOk;
}

}  // namespace

QString BatchUsageText() {
  return QStringLiteral(
      "  lumisto batch JOB --out DIR [--jobs N] [--overwrite | --skip-existing] [--shard I/N]\n"
      "        [--force] [--strip-metadata | --strip-location]\n"
      "                                           render every entry of the job file JOB into DIR\n"
      "                                           on N workers (one per core); existing files are\n"
      "                                           refused unless a flag says otherwise; no output\n"
      "                                           replaces a photo or template of the job, except\n"
      "                                           its own entry's photo with --force; --shard 2/4\n"
      "                                           renders only entries 1, 5, 9, ... (from 0) so four\n"
      "                                           processes share one job; the strip options as\n"
      "                                           for render (the photo's information is kept)\n"
      "  lumisto batch add JOB --template TEMPLATE PHOTO...\n"
      "                                           append PHOTOs framed by TEMPLATE, without edits\n"
      "  lumisto batch list JOB                   one line per entry: output name, photo, template\n");
}

int RunBatchCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
  try {
    const QString sub = args.value(0);
    if (sub == QLatin1String("add")) return Add(args.mid(1), out);
    if (sub == QLatin1String("list")) return List(args.mid(1), out);
    return Render(args, out, err);
  } catch (const UsageError& e) {
    err << "lumisto: " << e.Message() << " (see 'lumisto --help')\n";
    return kExitUsage;
  } catch (const LumistoError& e) {
    err << "lumisto: " << e.Message() << '\n';
    return kExitFailure;
  }
}
