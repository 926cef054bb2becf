#include "bench/bench_support.h"

#include <sys/resource.h>

#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <random>

namespace bench {

生成邮编::PostcodeTable ShippedPostcodeTable() {
  生成邮编::PostcodeTable table;
  QFile file(QStringLiteral(KOVA_SOURCE_DIR "/resources/postcodes.tsv"));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) qFatal("cannot read the postcode table");
  bool header = true;
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    if (header) {
      header = false;
      continue;
    }
    const QStringList f = line.split(u'\t');
    if (f.size() == 3) table.push_back({f[0], f[1], f[2]});
  }
  std::sort(table.begin(), table.end(),
            [](const auto& a, const auto& b) { return std::tie(a.省份, a.地区) < std::tie(b.省份, b.地区); });
  return table;
}

std::vector<data::Record> GenerateAddressList(int n, const 生成邮编::PostcodeTable& table, unsigned seed) {
  static const QString surnames =
      QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹");
  static const QString given = QStringLiteral("伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华玉兰");
  static const QString roads = QStringLiteral("人民解放建设中山和平文化新华胜利朝阳光明");
  static const QStringList municipalities = {QStringLiteral("北京"), QStringLiteral("上海"),
                                             QStringLiteral("天津"), QStringLiteral("重庆")};
  std::mt19937 rng(seed);
  const auto below = [&](int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(rng); };
  const auto percent = [&](int p) { return below(100) < p; };

  std::vector<data::Record> records;
  records.reserve(n);
  for (int i = 0; i < n; ++i) {
    data::Record r;
    r[data::kNumberColumn] = QString::number(i + 1);
    if (i > 0 && percent(10)) {  // a repeat of an earlier record
      const data::Record& earlier = records[below(i)];
      for (int c = 1; c < data::kColumnCount; ++c) r[c] = earlier[c];
      records.push_back(std::move(r));
      continue;
    }
    const 生成邮编::PostcodeRow& place = table[below(int(table.size()))];
    if (!percent(2)) {
      r[data::kNameColumn] = surnames[below(surnames.size())];
      for (int k = 1 + below(2); k > 0; --k) r[data::kNameColumn] += given[below(given.size())];
    }
    QString address;
    const bool municipality = municipalities.contains(place.省份);
    const int kind = below(100);
    if (kind < 80) {
      address = place.省份 + (municipality ? QStringLiteral("市") : QStringLiteral("省")) + place.地区 +
                (municipality ? QStringLiteral("区") : QStringLiteral("市"));
    } else if (kind < 90) {
      address = place.地区 + QStringLiteral("市");  // no province
    } else if (kind < 96) {
      address = place.省份 + QStringLiteral("省某县");  // province only
    } else if (kind < 98) {
      address = QStringLiteral("某地");  // nothing known
    }
    if (!address.isEmpty()) {
      address += roads.mid(2 * below(roads.size() / 2), 2) + QStringLiteral("路") +
                 QString::number(1 + below(300)) + QStringLiteral("号");
      if (percent(10))
        address += QStringLiteral("//") + QString::number(1 + below(20)) + QStringLiteral("单元");
      if (percent(10)) address.insert(below(address.size()), u' ');
    }
    r[data::kAddressColumn] = address;
    const int code = below(100);
    if (code < 70)
      r[data::kPostcodeColumn] = place.邮编;
    else if (code < 75)
      r[data::kPostcodeColumn] = QStringLiteral(" ") + place.邮编 + QStringLiteral(" ");
    else if (code < 85)
      r[data::kPostcodeColumn] = table[below(int(table.size()))].邮编;
    records.push_back(std::move(r));
  }
  return records;
}

double BestSeconds(int repeats, const std::function<void()>& prepare, const std::function<void()>& run) {
  double best = 1e9;
  for (int i = 0; i < repeats; ++i) {
    if (prepare) prepare();
    QElapsedTimer timer;
    timer.start();
    run();
    best = std::min(best, timer.nsecsElapsed() / 1e9);
  }
  return best;
}

namespace {
double StatusMb(const char* key) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith(key))
      return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toDouble() / 1024;
  return 0;
}
}  // namespace

double ResidentMb() { return StatusMb("VmRSS:"); }
double PeakResidentMb() { return StatusMb("VmHWM:"); }

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace bench
