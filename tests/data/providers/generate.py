#!/usr/bin/env python3
"""Writes the generated provider fixtures of this folder (UTF-8; the tests
serve them GBK-encoded): the day list of 2017-10-09 and a 480-bar K-line
reply. Deterministic: re-running it gives the same files."""

import datetime
import json
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))

# The keys of one day-list row, in the service's order.
LIST_KEYS = [
    "SCode", "SName", "ClosePrice", "Chgradio", "Dchratio", "JmMoney", "Turnover",
    "Ntransac", "Ctypedes", "Oldid", "Smoney", "Bmoney", "ZeMoney", "Tdate", "JmRate",
    "ZeRate", "Ltsz", "Rchange1dc", "Rchange1do", "Rchange2dc", "Rchange2do",
    "Rchange3dc", "Rchange3do", "Rchange5dc", "Rchange5do", "Rchange10dc",
    "Rchange10do", "Rchange15dc", "Rchange15do", "Rchange20dc", "Rchange20do",
    "Rchange30dc", "Rchange30do", "Rchange1m", "Rchange3m", "Rchange6m", "Rchange1y",
    "SumCount", "JGBSumCount", "JGSSumCount", "JGBMoney", "JGSMoney", "JGJMMoney",
    "JD", "DP",
]

UP7 = "日涨幅偏离值达到7%的证券"
DOWN7 = "日跌幅偏离值达到7%的证券"
TURN20 = "日换手率达到20%的证券"
SWING15 = "日振幅值达到15%的证券"
CONT20 = "连续三个交易日内，涨幅偏离值累计达到20%的证券"
CONT_MARGIN = "融资融券标的证券连续三个交易日内，日均换手率与前五个交易日的比值达到30倍的证券"

# code, name, close, change %, turnover %, amount (yuan), reason, JD, DP
LIST_ROWS = [
    ("000591", "太阳能", "7.40", "9.9554", "17.128", "2508328205", UP7,
     "上海资金买入，成功率45.72%", "上海资金买入，成功率45.72%"),
    ("002460", "赣锋锂业", "88.15", "10.0062", "6.3121", "2126745310", UP7,
     "1家机构买入，成功率41.19%", "机构买入，成功率41.19%"),
    ("002460", "赣锋锂业", "88.15", "10.0062", "6.3121", "2126745310", TURN20,
     "1家机构买入，成功率41.19%", "机构买入，成功率41.19%"),
    ("600703", "三安光电", "24.36", "-7.3002", "4.0512", "2361128473", DOWN7,
     "主力做T，成功率35.02%", "卖一主卖，成功率40.98%"),
    ("300750", "宁德时代", "72.60", "-3.5208", "21.7745", "3305118742", TURN20,
     "买一主买，成功率46.32%", "买一主买，成功率46.32%"),
    ("603019", "中科曙光", "39.92", "10.0028", "9.2215", "1218804517", CONT20,
     "实力游资买入，成功率48.95%", "实力游资买入，成功率48.95%"),
    ("000725", "京东方Ａ", "5.26", "6.2626", "3.1044", "5803927461", CONT_MARGIN,
     "2家机构卖出，成功率38.10%", "机构卖出，成功率38.10%"),
    ("002230", "科大讯飞", "61.71", "-10.0015", "5.8872", "3012258811", DOWN7,
     "卖一主卖，成功率40.98%", "卖一主卖，成功率40.98%"),
    ("600276", "恒瑞医药", "63.07", "5.4508", "1.0023", "1570032266", SWING15,
     "3家机构买入，成功率52.10%", "机构买入，成功率52.10%"),
    ("601318", "中国平安", "58.04", "4.0186", "1.6613", "9017740038", UP7,
     "沪股通买入，成功率47.63%", "沪股通买入，成功率47.63%"),
    ("002415", "海康威视", "35.82", "9.9754", "1.5406", "4620573301", UP7,
     "深股通买入，成功率44.27%", "深股通买入，成功率44.27%"),
    ("300059", "东方财富", "15.03", "9.9488", "8.3117", "3540911873", SWING15,
     "主力做T，成功率35.02%", "主力做T，成功率35.02%"),
]


def day_list():
    rng = random.Random(20171009)
    rows = []
    for index, (code, name, close, chg, dch, turnover, reason, jd, dp) in enumerate(LIST_ROWS):
        amount = int(turnover)
        bought = round(amount * rng.uniform(0.04, 0.12), 2)
        sold = round(amount * rng.uniform(0.03, 0.10), 2)
        row = dict.fromkeys(LIST_KEYS, "")
        row.update({
            "SCode": code, "SName": name, "ClosePrice": close, "Chgradio": chg,
            "Dchratio": dch, "JmMoney": "%.2f" % (bought - sold), "Turnover": turnover,
            "Ntransac": str(int(amount / float(close))), "Ctypedes": reason,
            "Oldid": str(5012440 + index), "Smoney": "%.2f" % sold, "Bmoney": "%.2f" % bought,
            "ZeMoney": "%.2f" % (bought + sold), "Tdate": "2017-10-09",
            "JmRate": "%.2f" % ((bought - sold) * 100 / amount),
            "ZeRate": "%.2f" % ((bought + sold) * 100 / amount),
            "Ltsz": "%.1f" % (amount * rng.uniform(8, 60)),
            "Rchange1m": "%.8f" % rng.uniform(-20, 30), "Rchange3m": "%.8f" % rng.uniform(-30, 60),
            "Rchange6m": "%.8f" % rng.uniform(-40, 80), "Rchange1y": "%.8f" % rng.uniform(-50, 120),
            "JD": jd, "DP": dp,
        })
        rows.append(row)
    body = json.dumps(rows, ensure_ascii=False, separators=(",", ":"))
    text = ('var data_tab_1={"success":true,"pages":1,"update":"2017-10-09","data":' + body
            + ',"url":"http://data.eastmoney.com/stock/tradedetail/2017-10-09.html",'
            '"time":"2017-10-09 18:12:31","message":""}')
    with open(os.path.join(HERE, "daylist-2017-10-09.js"), "w", encoding="utf-8") as f:
        f.write(text)


def trading_days(last, count):
    holidays = {datetime.date(2017, 10, d) for d in range(2, 7)}
    days = []
    day = last
    while len(days) < count:
        if day.weekday() < 5 and day not in holidays:
            days.append(day)
        day -= datetime.timedelta(days=1)
    return list(reversed(days))


def kline():
    rng = random.Random(600036)
    price = 150.0
    rows = []
    for day in trading_days(datetime.date(2017, 10, 9), 480):
        open_ = price * (1 + rng.uniform(-0.015, 0.015))
        close = open_ * (1 + rng.uniform(-0.04, 0.04))
        high = max(open_, close) * (1 + rng.uniform(0, 0.02))
        low = min(open_, close) * (1 - rng.uniform(0, 0.02))
        volume = rng.randint(200000, 1800000)
        row = [day.isoformat(), "%.3f" % open_, "%.3f" % close, "%.3f" % high, "%.3f" % low,
               "%d.000" % volume]
        if day == datetime.date(2017, 7, 13):
            # Ex-dividend days carry the dividend as a seventh element.
            row.append({"nd": "2016", "fh_sh": "7.4", "djr": "2017-07-12", "cqr": "2017-07-13",
                        "FHcontent": "10派7.4元"})
        rows.append(row)
        price = close
    data = {"sh600036": {"hfqday": rows,
                         "qt": {"sh600036": ["1", "招商银行", "600036", rows[-1][2], rows[-2][2]]},
                         "mx_price": {"mx": [], "price": []},
                         "prec": rows[-2][2], "version": "7"}}
    text = json.dumps({"code": 0, "msg": "", "data": data}, ensure_ascii=True,
                      separators=(",", ":"))
    with open(os.path.join(HERE, "kline-sh600036-hfq.json"), "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    day_list()
    kline()
