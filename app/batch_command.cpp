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
#include "batch/batch_job_file.h"
#include "batch/batch_run.h"
#include "batch/batch_save.h"
#include "imaging/image_io.h"
#include "styles/template_library.h"

namespace {

class BatchUsageError : public LumistoError {
 public:
  using LumistoError::LumistoError;
};

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
  if (slash < 0) throw BatchUsageError(usage);
  const auto number = [&](QStringView digits) {
    // Digits only: no sign, no spaces, no hexadecimal.
    if (digits.isEmpty() || digits.size() > 6 ||
        !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
      throw BatchUsageError(usage);
    return digits.toInt();
  };
  Shard shard;
  shard.index = number(QStringView(text).left(slash));
  shard.count = number(QStringView(text).mid(slash + 1));
  if (shard.count < 1 || shard.count > kMaxShards || shard.index < 1 || shard.index > shard.count)
    throw BatchUsageError(usage);
  return shard;
}

int Render(const QStringList& args, QTextStream& out, QTextStream& err) {
  QString job, folder;
  int jobs = DefaultBatchJobs();
  Existing existing = Existing::Refuse;
  Shard shard;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    const auto value = [&]() -> QString {
      if (i + 1 >= args.size()) throw BatchUsageError(QStringLiteral("%1 needs a value").arg(arg));
      return args[++i];
    };
    if (arg == QLatin1String("--out")) {
      folder = value();
    } else if (arg == QLatin1String("--jobs")) {
      bool ok = false;
      jobs = value().toInt(&ok);
      if (!ok || jobs < 1 || jobs > kMaxBatchJobs)
        throw BatchUsageError(QStringLiteral("--jobs needs a number from 1 to %1").arg(kMaxBatchJobs));
    } else if (arg == QLatin1String("--shard")) {
      shard = ParseShard(value());
    } else if (arg == QLatin1String("--overwrite") || arg == QLatin1String("--skip-existing")) {
      const Existing wanted = arg == QLatin1String("--overwrite") ? Existing::Overwrite : Existing::Skip;
      if (existing != Existing::Refuse && existing != wanted)
        throw BatchUsageError(QStringLiteral("--overwrite and --skip-existing exclude each other"));
      existing = wanted;
    } else if (arg.startsWith(QLatin1String("--"))) {
      throw BatchUsageError(QStringLiteral("batch does not know %1").arg(arg));
    } else if (job.isEmpty()) {
      job = arg;
    } else {
      throw BatchUsageError(QStringLiteral("batch takes one job file"));
    }
  }
  if (job.isEmpty() || folder.isEmpty()) throw BatchUsageError(QStringLiteral("batch takes JOB --out DIR"));

  const QList<BatchEntry> entries = ReadBatchJob(job);
  if (!QDir().mkpath(folder)) throw LumistoError(QStringLiteral("%1: cannot make the folder").arg(folder));
  QList<int> rows(entries.size());
  std::iota(rows.begin(), rows.end(), 0);
  const QString out_folder = QDir(folder).absolutePath();
  // The names are planned over the whole job, so a name written twice is seen by every shard as it
  // is by one run; only this shard's own files are looked for on disk, because the other shards may
  // be writing theirs into the same folder right now.
  const QList<PlannedOutput> whole =
      PlanOutputs(entries, rows, out_folder, [](const QString&) { return false; });
  QList<PlannedOutput> plan;
  QStringList refused;
  for (PlannedOutput p : whole) {
    if (!shard.Holds(p.row)) {
      if (p.asks) refused << p.path;
      continue;
    }
    if (p.refusal.isEmpty() && !p.asks) p.asks = QFileInfo::exists(p.path);
    if (p.asks) refused << p.path;
    plan << p;
  }

  // Nothing is written unless every existing file has been allowed for.
  if (existing == Existing::Refuse && !refused.isEmpty()) {
    for (const QString& path : refused)
      err << "lumisto: " << QDir::toNativeSeparators(path)
          << " exists or is written twice; use --overwrite or --skip-existing\n";
    return kExitFailure;
  }

  BatchSummary summary;
  QList<BatchTask> tasks;
  for (const PlannedOutput& p : plan) {
    if (!p.refusal.isEmpty()) {
      ++summary.failed;
      err << "lumisto: entry " << p.row + 1 << ": " << p.refusal << '\n';
      continue;
    }
    if (p.asks && existing == Existing::Skip) {
      ++summary.skipped;
      continue;
    }
    tasks << BatchTask{p.row, RequestForEntry(entries[p.row], p.path)};
  }

  const TextureList textures = TextureList::LoadShipped();
  BatchRun run(tasks, jobs, [&textures](const RenderRequest& r) { RenderToFile(r, textures); });
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
  out << summary.written << " written, " << summary.skipped << " skipped, " << summary.failed << " failed\n";
  return summary.failed > 0 ? kExitFailure : kExitOk;
}

int Add(const QStringList& args, QTextStream& out) {
  QString job, templ;
  QStringList photos;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == QLatin1String("--template")) {
      if (i + 1 >= args.size()) throw BatchUsageError(QStringLiteral("--template needs a value"));
      templ = args[++i];
    } else if (arg.startsWith(QLatin1String("--"))) {
      throw BatchUsageError(QStringLiteral("batch add does not know %1").arg(arg));
    } else if (job.isEmpty()) {
      job = arg;
    } else {
      photos << arg;
    }
  }
  if (job.isEmpty() || templ.isEmpty() || photos.isEmpty())
    throw BatchUsageError(QStringLiteral("batch add takes JOB --template TEMPLATE PHOTO..."));

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
  if (args.size() != 1) throw BatchUsageError(QStringLiteral("batch list takes one job file"));
  for (const BatchEntry& e : ReadBatchJob(args[0]))
    out << e.output_name << '\t' << e.edit.photo_path << '\t' << e.edit.template_path << '\n';
  return kExitOk;
}

}  // namespace

QString BatchUsageText() {
  return QStringLiteral(
      "  lumisto batch JOB --out DIR [--jobs N] [--overwrite | --skip-existing] [--shard I/N]\n"
      "                                           render every entry of the job file JOB into DIR\n"
      "                                           on N workers (one per core); existing files are\n"
      "                                           refused unless a flag says otherwise; --shard 2/4\n"
      "                                           renders only entries 1, 5, 9, ... (from 0) so four\n"
      "                                           processes share one job\n"
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
  } catch (const BatchUsageError& e) {
    err << "lumisto: " << e.Message() << " (see 'lumisto --help')\n";
    return kExitUsage;
  } catch (const LumistoError& e) {
    err << "lumisto: " << e.Message() << '\n';
    return kExitFailure;
  }
}
